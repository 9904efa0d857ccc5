#pragma once

#include <cstdint>
#include <string>

#include "subjects/subject_item.h"

namespace lumarine {

// The data side of the subject tree: the items under an invisible root, the selection and
// the operations the subject bar and the store apply. Painting and input belong to the
// widget, which keeps each item's `rect` up to date for HitTest. User-interface thread only.
class SubjectTreeModel {
 public:
  struct NewSubjectParent {
    std::string path;  // store path of the parent; empty for the top level
    SubjectItem* parent;
  };

  SubjectTreeModel() = default;
  SubjectTreeModel(const SubjectTreeModel&) = delete;
  SubjectTreeModel& operator=(const SubjectTreeModel&) = delete;

  SubjectItem* Root() { return &root_; }
  const SubjectItem* Root() const { return &root_; }
  bool IsEmpty() const { return root_.FirstChild() == nullptr; }

  SubjectItem* Selection() const { return selection_; }
  // Makes `item` (or none) the highlighted selection; the previous one loses its highlight.
  void Select(SubjectItem* item);

  // A new item (kind keyword, expanded) appended as the last child of `parent`; nullptr
  // stands for the root.
  SubjectItem* AddChild(SubjectItem* parent, std::string title, uint32_t colour = 0,
                        bool useDefaultColour = true);
  // A new item directly after `sibling` under the same parent; nullptr if `sibling` is the
  // root or none.
  SubjectItem* InsertAfter(SubjectItem* sibling, std::string title, uint32_t colour = 0,
                           bool useDefaultColour = true);

  // Unlinks the item and deletes it with its subtree. The root is never deleted; a
  // selection inside the deleted subtree is cleared.
  void DeleteItem(SubjectItem* item);
  // Deletes the selection and clears it; false without a selection.
  bool DeleteSelected();
  void ToggleExpanded(SubjectItem* item);

  // The item's path (the selection's when `item` is none); empty for the root or nothing.
  // A step whose title a sibling shares carries the item's number among them.
  std::string ItemPath(const SubjectItem* item = nullptr) const;
  // Where a new keyword subject goes: into the selected group, into the group holding the
  // selected subject, or else at the top level.
  NewSubjectParent ParentForNewSubject();

  // The first item, in drawing order from `from`, whose rect holds the point: the item, then
  // its children when expanded, then its following siblings.
  SubjectItem* HitTest(int x, int y, const SubjectItem* from) const;
  SubjectItem* HitTest(int x, int y) const { return HitTest(x, y, root_.FirstChild()); }

  // Moves a dropped item: in front of a subject target (to the end of the target's parent
  // when the target is its first child; a source just before the target stays there), or to the end
  // of a group target. The moved item keeps its subtree and becomes the selection. Nullptr when
  // nothing moves: no source or target, the target is the source, or the target lies inside the
  // source.
  SubjectItem* MoveForDrop(SubjectItem* source, SubjectItem* target);

  // Whether `item` is `ancestor` or lies below it.
  static bool IsWithin(const SubjectItem* item, const SubjectItem* ancestor);

 private:
  static std::unique_ptr<SubjectItem> Unlink(SubjectItem* item);
  static void AppendChild(SubjectItem* parent, std::unique_ptr<SubjectItem> child);
  static void LinkFirst(SubjectItem* parent, std::unique_ptr<SubjectItem> item);
  static void LinkAfter(SubjectItem* sibling, std::unique_ptr<SubjectItem> item);

  SubjectItem root_;
  SubjectItem* selection_ = nullptr;
};

}  // namespace lumarine
