#pragma once

#include <string>

#include "subjects/subject_item.h"

namespace lumarine::test {

// The items from `item` on and their children as "title", nested in brackets:
// "Sport[Tennis Golf] News".
inline std::string SubjectTitles(const SubjectItem* item) {
  std::string text;
  for (; item; item = item->NextSibling()) {
    if (!text.empty()) text += " ";
    text += item->title;
    if (item->FirstChild()) text += "[" + SubjectTitles(item->FirstChild()) + "]";
  }
  return text;
}

}  // namespace lumarine::test
