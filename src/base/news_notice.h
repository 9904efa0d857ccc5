#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lumarine {

// The texts that tell a user about news they cannot see: the desktop notification, the tray
// badge and the tray tip.
class NewsNotice {
 public:
  static constexpr const char* kSummary = "Lumarine快讯";
  static constexpr const char* kTrayTip = "Lumarine Is Running";
  static constexpr size_t kMostTitles = 3;
  // A title longer than this many characters is cut, so one feed cannot fill the screen.
  static constexpr size_t kTitleCharacters = 120;
  static constexpr int kMostBadgeCount = 99;

  // "N 条新闻" and then the first titles, at most three, one per line. With `markup` the
  // titles are escaped for the notification service's markup; otherwise they stay plain.
  static std::string Body(int count, const std::vector<std::string>& titles, bool markup);

  // The count drawn on the tray icon: empty for none, "99+" above 99.
  static std::string BadgeText(int unread);

  // The tray tip, with a second line "N 条未读" while rows are unread.
  static std::string TrayTip(int unread);

  // `text` with &, < and > written as entities.
  static std::string EscapeMarkup(std::string_view text);

  // `title` on one line: control characters and runs of blanks become one space, the ends are
  // trimmed, and more than `maxCharacters` characters are cut (never inside a character) and
  // marked with "…".
  static std::string OneLine(std::string_view title, size_t maxCharacters);
};

}  // namespace lumarine
