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
  for (; item && item->parent; item = item->parent) path = "/" + EscapePathStep(item->title) + path;
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
    // Unlinking first keeps the neighbour lookup right when the source sits just before
    // the target.
    auto moved = Unlink(source);
    SubjectItem* previous = target->PreviousSibling();
    if (previous)
      LinkAfter(previous, std::move(moved));
    else
      AppendChild(target->parent, std::move(moved));
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

void SubjectTreeModel::LinkAfter(SubjectItem* sibling, std::unique_ptr<SubjectItem> item) {
  item->parent = sibling->parent;
  item->nextSibling = std::move(sibling->nextSibling);
  sibling->nextSibling = std::move(item);
}

}  // namespace lumarine
