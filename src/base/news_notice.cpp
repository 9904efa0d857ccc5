#include "base/news_notice.h"

#include "platform/html_sanitizer.h"

namespace lumarine {
namespace {

bool IsBlank(unsigned char c) { return c <= 0x20 || c == 0x7F; }
bool StartsCharacter(unsigned char c) { return (c & 0xC0) != 0x80; }

}  // namespace

std::string NewsNotice::Body(int count, const std::vector<std::string>& titles, bool markup) {
  std::string body = std::to_string(count) + " 条新闻";
  size_t shown = 0;
  for (const std::string& title : titles) {
    if (shown == kMostTitles) break;
    // Titles are HTML: a notification shows their text.
    const std::string line = OneLine(TitlePlainText(title), kTitleCharacters);
    if (line.empty()) continue;
    body += '\n';
    body += markup ? EscapeMarkup(line) : line;
    ++shown;
  }
  return body;
}

std::string NewsNotice::BadgeText(int unread) {
  if (unread <= 0) return {};
  return unread > kMostBadgeCount ? std::to_string(kMostBadgeCount) + "+" : std::to_string(unread);
}

std::string NewsNotice::TrayTip(int unread) {
  std::string tip = kTrayTip;
  if (unread > 0) tip += "\n" + std::to_string(unread) + " 条未读";
  return tip;
}

std::string NewsNotice::EscapeMarkup(std::string_view text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&':
        escaped += "&amp;";
        break;
      case '<':
        escaped += "&lt;";
        break;
      case '>':
        escaped += "&gt;";
        break;
      default:
        escaped += c;
    }
  }
  return escaped;
}

std::string NewsNotice::OneLine(std::string_view title, size_t maxCharacters) {
  std::string line;
  line.reserve(title.size());
  size_t characters = 0;
  bool pendingBlank = false;
  for (size_t i = 0; i < title.size(); ++i) {
    const auto c = static_cast<unsigned char>(title[i]);
    if (IsBlank(c)) {
      pendingBlank = !line.empty();
      continue;
    }
    if (StartsCharacter(c)) {
      if (characters + (pendingBlank ? 1 : 0) >= maxCharacters) return line + "…";
      if (pendingBlank) {
        line += ' ';
        ++characters;
        pendingBlank = false;
      }
      ++characters;
    }
    line += static_cast<char>(c);
  }
  return line;
}

}  // namespace lumarine
