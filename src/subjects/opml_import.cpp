#include "subjects/opml_import.h"

#include <fstream>
#include <set>
#include <sstream>
#include <vector>

#include <libxml/tree.h>

#include "platform/ascii_text.h"
#include "platform/opml_writer.h"
#include "platform/xml_document.h"
#include "platform/xml_safe_text.h"
#include "subjects/item_path.h"
#include "subjects/subject_store.h"
#include "subjects/subject_tree_model.h"
#include "subjects/subject_url_template.h"
#include "subjects/xml_attribute.h"

namespace lumarine {
namespace {

// Subscription lists are small; anything this large is not one.
constexpr std::streamsize kMaxFileBytes = 8 * 1024 * 1024;
// Folders nest a few levels at most; deeper nesting is flattened into the last group.
constexpr int kMaxDepth = 16;
constexpr int kMaxTitleNumber = 99;

struct Outline {
  std::string title;
  std::string url;      // empty for a folder
  std::string keyword;  // set for a keyword subject of our own export
  bool folder = false;  // a group of our own export, kept even when empty
  std::vector<Outline> children;
};

// Text that enters the subject file: trimmed, and free of what XML cannot hold.
std::string Clean(const std::string& text) {
  return std::string(AsciiTrim(XmlSafeText(text), " \t\r\n"));
}

// An attribute in our own export's namespace.
std::string OwnAttribute(const XmlNode& node, const char* name) {
  return node.Attribute(name, std::string(OpmlWriter::kNamespace).c_str());
}

void ReadOutlines(const XmlNode& parent, int depth, std::vector<Outline>& out) {
  for (const XmlNode& node : parent.SelectAll("./outline")) {
    Outline outline;
    outline.url = Clean(XmlGetAttribute(node, "xmlUrl"));
    outline.title = Clean(XmlGetAttribute(node, "title"));
    if (outline.title.empty()) outline.title = Clean(XmlGetAttribute(node, "text"));
    outline.keyword = Clean(OwnAttribute(node, "keyword"));
    if (!outline.keyword.empty()) {
      out.push_back(std::move(outline));
      continue;
    }
    outline.folder = OwnAttribute(node, "folder") == "1";
    if (outline.url.empty()) {
      if (depth < kMaxDepth)
        ReadOutlines(node, depth + 1, outline.children);
      else
        ReadOutlines(node, depth, out);  // too deep: its feeds join this level
      if (outline.children.empty() && !outline.folder) continue;  // a note, not a folder
    }
    out.push_back(std::move(outline));
  }
}

void CollectUrls(const SubjectItem* item, std::set<std::string>& urls) {
  for (; item; item = item->NextSibling()) {
    if (!item->IsGroup() && !item->url.empty()) urls.insert(item->url);
    CollectUrls(item->FirstChild(), urls);
  }
}

SubjectItem* ChildTitled(SubjectItem* parent, const std::string& title) {
  for (SubjectItem* child = parent->FirstChild(); child; child = child->NextSibling())
    if (child->title == title) return child;
  return nullptr;
}

// Applies the outlines to the store, mirroring each addition in `tree` so that later
// outlines see what earlier ones added.
class Importer {
 public:
  Importer(SubjectStore& store, SubjectTreeModel& tree, OpmlImportResult& result)
      : store_(store), tree_(tree), result_(result) {
    CollectUrls(tree_.Root()->FirstChild(), urls_);
  }

  void Add(const std::vector<Outline>& outlines, SubjectItem* parent,
           const std::string& parentPath) {
    for (const Outline& outline : outlines) {
      if (!outline.keyword.empty())
        AddKeyword(outline, parent, parentPath);
      else if (outline.url.empty())
        AddFolder(outline, parent, parentPath);
      else
        AddFeed(outline, parent, parentPath);
    }
  }

 private:
  // A keyword subject is its keyword: one already beside it is the same subject, while the
  // same keyword may stand in other groups.
  void AddKeyword(const Outline& outline, SubjectItem* parent, const std::string& parentPath) {
    if (ChildTitled(parent, outline.keyword)) {
      ++result_.duplicatesSkipped;
      return;
    }
    SubjectItem candidate(outline.keyword);
    candidate.kind = kSubjectKeyword;
    candidate.url = SubjectUrlTemplate::KeywordUrl(outline.keyword);
    if (!store_.AddSubject(parentPath, candidate, "")) return;
    SubjectItem* added = tree_.AddChild(parent, candidate.title);
    added->url = candidate.url;
    urls_.insert(candidate.url);
    ++result_.subjectsAdded;
  }

  void AddFeed(const Outline& outline, SubjectItem* parent, const std::string& parentPath) {
    if (urls_.count(outline.url)) {
      ++result_.duplicatesSkipped;
      return;
    }
    const std::string base = outline.title.empty() ? outline.url : outline.title;
    SubjectItem candidate(base);
    candidate.kind = kSubjectFeed;
    candidate.url = outline.url;
    for (int number = 1; number <= kMaxTitleNumber; ++number) {
      if (number > 1) candidate.title = base + " (" + std::to_string(number) + ")";
      if (ChildTitled(parent, candidate.title)) continue;
      if (!store_.AddSubject(parentPath, candidate, "")) return;
      SubjectItem* added = tree_.AddChild(parent, candidate.title);
      added->kind = kSubjectFeed;
      added->url = candidate.url;
      urls_.insert(candidate.url);
      ++result_.subjectsAdded;
      return;
    }
  }

  void AddFolder(const Outline& outline, SubjectItem* parent, const std::string& parentPath) {
    if (outline.title.empty()) {
      Add(outline.children, parent, parentPath);
      return;
    }
    SubjectItem* group = ChildTitled(parent, outline.title);
    std::string title = outline.title;
    // A subject of the same name is in the way: the folder gets a numbered name.
    for (int number = 2; group && !group->IsGroup() && number <= kMaxTitleNumber; ++number) {
      title = outline.title + " (" + std::to_string(number) + ")";
      group = ChildTitled(parent, title);
    }
    if (group && !group->IsGroup()) return;
    if (!group) {
      if (!store_.AddGroup(parentPath, title)) return;
      group = tree_.AddChild(parent, title);
      group->kind = kSubjectGroup;
      ++result_.groupsAdded;
    }
    Add(outline.children, group, tree_.ItemPath(group));
  }

  SubjectStore& store_;
  SubjectTreeModel& tree_;
  OpmlImportResult& result_;
  std::set<std::string> urls_;
};

}  // namespace

OpmlImportResult ImportOpml(const std::string& path, SubjectStore& store) {
  OpmlImportResult result;
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    result.error = "无法打开文件";
    return result;
  }
  std::string bytes(static_cast<size_t>(kMaxFileBytes) + 1, '\0');
  in.read(bytes.data(), kMaxFileBytes + 1);
  bytes.resize(static_cast<size_t>(in.gcount()));
  if (in.bad() || bytes.size() > static_cast<size_t>(kMaxFileBytes)) {
    result.error = "文件过大或无法读取";
    return result;
  }

  const auto document = XmlDocument::Parse(bytes);
  const auto body = document ? document->SelectSingle("/opml/body") : std::nullopt;
  if (!body) {
    result.error = "不是有效的OPML文件";
    return result;
  }
  std::vector<Outline> outlines;
  ReadOutlines(*body, 0, outlines);

  SubjectTreeModel tree;
  if (!store.IsLoaded() || !store.FillTree(tree)) {
    result.error = "专题文件不可用";
    return result;
  }
  Importer importer(store, tree, result);
  importer.Add(outlines, tree.Root(), "");
  result.ok = true;
  return result;
}

}  // namespace lumarine
