#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "subjects/subject_item.h"

struct _xmlNode;

namespace lumarine {

class SubjectTreeModel;
class XmlDocument;

// The user's subjects and groups in subject.xml: a GB2312 XML file whose SUBJECTS element
// holds nested ITEM elements. The store owns the parsed document from load to destruction
// and saves the whole file after every change. Items are addressed by item paths (see
// item_path.h), resolved as the tree shows the items, so an operation acts on the very item
// chosen even where siblings share a title. In subject titles and feed addresses "&" is
// stored as "$"; titles compare in that form, so an item stays addressable in the run that
// created it. Text XML 1.0 cannot hold is refused, and no save writes a file that would not
// load again. User-interface thread only.
class SubjectStore {
 public:
  SubjectStore();
  ~SubjectStore();
  SubjectStore(const SubjectStore&) = delete;
  SubjectStore& operator=(const SubjectStore&) = delete;

  // Opens the file, creating it empty when there is no such file. A file that does not
  // parse or has no SUBJECTS root is kept as <path>.bad (or .bad.1, .bad.2, ... when that
  // name is taken; no kept file is ever replaced) and only then replaced by an empty one.
  // A file that cannot be looked at or read (an I/O error, no permission) is left as it is.
  // Either way the result is false and the store holds nothing, and saves nothing, until the
  // next load.
  bool Load(const std::string& path);
  // Writes the one-line empty file, replacing any file at `path`.
  static bool CreateEmpty(const std::string& path);
  // Stamps SAVETIME and replaces the file atomically.
  bool Save();
  bool IsLoaded() const { return subjects_ != nullptr; }

  // Adds every group and subject under the tree's root, groups first at each level.
  bool FillTree(SubjectTreeModel& tree) const;

  // Each of these refuses a title already used (in its stored form) under the same parent
  // and saves on success.
  bool AddSubject(const std::string& parentPath, const SubjectItem& item,
                  const std::string& afterTitle);
  bool AddGroup(const std::string& parentPath, const std::string& name);
  // Removes the item with its subtree; the root is never removed.
  bool Remove(const std::string& path);
  // Moves the item under another group (or the top level), after the child titled
  // `afterTitle` or else to the end.
  bool Move(const std::string& sourcePath, const std::string& destinationParentPath,
            const std::string& afterTitle);
  // Moves the item directly in front of the item at `targetPath`, into the target's parent:
  // lets a dropped subject land in the file where the tree shows it.
  bool MoveBefore(const std::string& sourcePath, const std::string& targetPath);
  // Gives the group at `path` a new name; refuses a name already used beside it.
  bool RenameGroup(const std::string& path, const std::string& name);
  // Rewrites the subject found at `path` (its path before the edit) from `item`.
  bool UpdateSubject(const SubjectItem& item, const std::string& path);

  // The XPath, relative to SUBJECTS, that selects the first item with the path's titles;
  // "." for the root. The store itself resolves paths step by step (see Select).
  static std::string PathToXPath(std::string_view path);
  // Every UTF-8 byte as "%" and two upper-case hexadecimal digits.
  static std::string EncodeKeywordUtf8(std::string_view text);

 private:
  // The element a path names, or null when it names none (or more than one).
  _xmlNode* Select(const std::string& path) const;
  // Moves `source` under `destination`, before or after `neighbour` (or to the end).
  bool MoveNode(_xmlNode* source, _xmlNode* destination, _xmlNode* neighbour, bool before);
  void Release();

  std::string path_;
  std::unique_ptr<XmlDocument> document_;
  _xmlNode* subjects_ = nullptr;
};

}  // namespace lumarine
