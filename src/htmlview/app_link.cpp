#include "htmlview/app_link.h"

#include <climits>

#include "platform/text_codec.h"

namespace lumarine {

int LeadingInt(std::string_view text) {
  size_t i = 0;
  auto isSpace = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
  while (i < text.size() && isSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
  }
  if (negative) value = -value;
  if (value > INT_MAX) value = INT_MAX;
  return static_cast<int>(value);
}

std::optional<AppLink> ParseAppLink(std::string_view address) {
  constexpr std::string_view kPrefix = "app:";
  if (address.size() < kPrefix.size() || !EqualsNoCase(address.substr(0, kPrefix.size()), kPrefix))
    return std::nullopt;
  const std::string_view text = address.substr(kPrefix.size());
  AppLink link;
  link.commandId = static_cast<unsigned>(LeadingInt(text));
  const size_t at = text.find('@');
  link.argument = at == std::string_view::npos ? " " : PercentDecode(text.substr(at + 1));
  return link;
}

}  // namespace lumarine
