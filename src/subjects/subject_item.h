#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace lumarine {

// Kinds of subject tree items, as stored and as shown.
enum SubjectKind : int { kSubjectGroup = 0, kSubjectKeyword = 1, kSubjectFeed = 2 };

// The area an item's lines covered at the last paint; the widget sets it, hit tests read it.
struct ItemRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

// One group or subject of the subject tree (the invisible root is one too). An item owns
// its first child and its next sibling, so deleting an item deletes its subtree. Lives on
// the user-interface thread.
struct SubjectItem {
  SubjectItem() = default;
  explicit SubjectItem(std::string itemTitle) : title(std::move(itemTitle)) {}
  ~SubjectItem();
  SubjectItem(const SubjectItem&) = delete;
  SubjectItem& operator=(const SubjectItem&) = delete;

  bool IsGroup() const { return kind == kSubjectGroup; }
  SubjectItem* FirstChild() const { return firstChild.get(); }
  SubjectItem* NextSibling() const { return nextSibling.get(); }
  SubjectItem* PreviousSibling() const;
  SubjectItem* LastChild() const;

  int kind = kSubjectKeyword;
  std::string title;
  std::string url;
  ItemRect rect;
  uint32_t colour = 0;  // 0x00BBGGRR, used only when useDefaultColour is false
  bool useDefaultColour = true;
  bool expanded = true;
  bool highlighted = false;

  SubjectItem* parent = nullptr;
  std::unique_ptr<SubjectItem> nextSibling;
  std::unique_ptr<SubjectItem> firstChild;
};

}  // namespace lumarine
