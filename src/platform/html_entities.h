#pragma once

#include <optional>
#include <string_view>

namespace lumarine {

// The UTF-8 text of an HTML named character reference ("nbsp" for "&nbsp;"), from the table
// of every name HTML defines, compiled in; nothing when the name is not one of them. Names
// are case-sensitive, as in HTML.
std::optional<std::string_view> HtmlEntityText(std::string_view name);

// Whether HTML also reads the name without its ";" ("&copy" as "&copy;"): the legacy names.
bool IsLegacyHtmlEntity(std::string_view name);

}  // namespace lumarine
