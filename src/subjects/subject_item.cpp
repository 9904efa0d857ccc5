#include "subject_item.h"

namespace lumarine {

SubjectItem::~SubjectItem() {
  // Release the sibling chain iteratively: a long list of siblings must not recurse once
  // per item.
  std::unique_ptr<SubjectItem> next = std::move(nextSibling);
  while (next) next = std::move(next->nextSibling);
}

SubjectItem* SubjectItem::PreviousSibling() const {
  if (!parent) return nullptr;
  SubjectItem* previous = nullptr;
  for (SubjectItem* item = parent->FirstChild(); item && item != this; item = item->NextSibling())
    previous = item;
  return previous;
}

SubjectItem* SubjectItem::LastChild() const {
  SubjectItem* last = FirstChild();
  while (last && last->NextSibling()) last = last->NextSibling();
  return last;
}

}  // namespace lumarine
