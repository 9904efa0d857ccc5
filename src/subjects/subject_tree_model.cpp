#include "subject_tree_model.h"

#include "subjects/item_path.h"

namespace lumarine {
namespace {

std::unique_ptr<SubjectItem> NewItem(std::string title, uint32_t colour, bool useDefaultColour) {
  auto item = std::make_unique<SubjectItem>(std::move(title));
  item->useDefaultColour = useDefaultColour;
  if (!useDefaultColour) item->colour = colour;
  return item;
}

// The item's number among the siblings that share its title, in the order the subject file
// resolves them (groups first, then subjects); 0 when no sibling shares it.
int Occurrence(const SubjectItem* item) {
  int before = 0;
  int shared = 0;
  for (int pass = 0; pass < 2; ++pass) {
    const bool groups = pass == 0;
    for (const SubjectItem* sibling = item->parent->FirstChild(); sibling;
         sibling = sibling->NextSibling()) {
      if (sibling->IsGroup() != groups || sibling->title != item->title) continue;
      ++shared;
      if (sibling == item) before = shared;
    }
  }
  return shared > 1 ? before : 0;
}

}  // namespace

void SubjectTreeModel::Select(SubjectItem* item) {
  if (selection_) selection_->highlighted = false;
  selection_ = item;
  if (selection_) selection_->highlighted = true;
}

SubjectItem* SubjectTreeModel::AddChild(SubjectItem* parent, std::string title, uint32_t colour,
                                        bool useDefaultColour) {
  if (!parent) parent = &root_;
  auto item = NewItem(std::move(title), colour, useDefaultColour);
  SubjectItem* added = item.get();
  AppendChild(parent, std::move(item));
  return added;
}

SubjectItem* SubjectTreeModel::InsertAfter(SubjectItem* sibling, std::string title, uint32_t colour,
                                           bool useDefaultColour) {
  if (!sibling || !sibling->parent) return nullptr;
  auto item = NewItem(std::move(title), colour, useDefaultColour);
  SubjectItem* added = item.get();
  LinkAfter(sibling, std::move(item));
  return added;
}

void SubjectTreeModel::DeleteItem(SubjectItem* item) {
  if (!item || !item->parent) return;
  if (selection_ && IsWithin(selection_, item)) selection_ = nullptr;
  Unlink(item);  // the returned owner deletes the subtree
}

bool SubjectTreeModel::DeleteSelected() {
  if (!selection_) return false;
  DeleteItem(selection_);
  selection_ = nullptr;
  return true;
}

void SubjectTreeModel::ToggleExpanded(SubjectItem* item) {
  if (item) item->expanded = !item->expanded;
}

std::string SubjectTreeModel::ItemPath(const SubjectItem* item) const {
  if (!item) item = selection_;
  std::string path;
  for (; item && item->parent; item = item->parent)
    path = "/" + EscapePathStep(item->title, Occurrence(item)) + path;
  return path;
}

SubjectTreeModel::NewSubjectParent SubjectTreeModel::ParentForNewSubject() {
  if (!selection_) return {"", &root_};
  if (selection_->IsGroup()) return {ItemPath(selection_), selection_};
  SubjectItem* parent = selection_->parent;
  if (!parent || parent == &root_) return {"", &root_};
  return {ItemPath(parent), parent};
}

SubjectItem* SubjectTreeModel::HitTest(int x, int y, const SubjectItem* from) const {
  for (const SubjectItem* item = from; item; item = item->NextSibling()) {
    if (item->rect.Contains(x, y)) return const_cast<SubjectItem*>(item);
    if (item->expanded && item->FirstChild())
      if (SubjectItem* hit = HitTest(x, y, item->FirstChild())) return hit;
  }
  return nullptr;
}

SubjectItem* SubjectTreeModel::MoveForDrop(SubjectItem* source, SubjectItem* target) {
  if (!source || !target || !source->parent || !target->parent || IsWithin(target, source))
    return nullptr;
  if (target->IsGroup()) {
    AppendChild(target, Unlink(source));
  } else {
    // Whether the target is its parent's first child is decided before the source leaves:
    // a source just before the target stays in front of it rather than going to the end.
    const bool inFront = target->PreviousSibling() != nullptr;
    auto moved = Unlink(source);
    if (!inFront)
      AppendChild(target->parent, std::move(moved));
    else if (SubjectItem* previous = target->PreviousSibling())
      LinkAfter(previous, std::move(moved));
    else
      LinkFirst(target->parent, std::move(moved));
  }
  Select(source);
  return source;
}

bool SubjectTreeModel::IsWithin(const SubjectItem* item, const SubjectItem* ancestor) {
  for (; item; item = item->parent)
    if (item == ancestor) return true;
  return false;
}

std::unique_ptr<SubjectItem> SubjectTreeModel::Unlink(SubjectItem* item) {
  SubjectItem* parent = item->parent;
  std::unique_ptr<SubjectItem>* link = &parent->firstChild;
  while (link->get() != item) link = &(*link)->nextSibling;
  std::unique_ptr<SubjectItem> owned = std::move(*link);
  *link = std::move(owned->nextSibling);
  owned->parent = nullptr;
  return owned;
}

void SubjectTreeModel::AppendChild(SubjectItem* parent, std::unique_ptr<SubjectItem> child) {
  child->parent = parent;
  std::unique_ptr<SubjectItem>* link = &parent->firstChild;
  while (*link) link = &(*link)->nextSibling;
  *link = std::move(child);
}

void SubjectTreeModel::LinkFirst(SubjectItem* parent, std::unique_ptr<SubjectItem> item) {
  item->parent = parent;
  item->nextSibling = std::move(parent->firstChild);
  parent->firstChild = std::move(item);
}

void SubjectTreeModel::LinkAfter(SubjectItem* sibling, std::unique_ptr<SubjectItem> item) {
  item->parent = sibling->parent;
  item->nextSibling = std::move(sibling->nextSibling);
  sibling->nextSibling = std::move(item);
}

}  // namespace lumarine
