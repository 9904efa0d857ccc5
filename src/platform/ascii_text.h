#pragma once

#include <string>
#include <string_view>

namespace lumarine {

// Blanks as the C locale's isspace knows them.
inline constexpr std::string_view kAsciiSpace = " \t\n\v\f\r";

// `text` with A-Z lowered; every other byte, UTF-8 included, kept as it is.
std::string AsciiLower(std::string_view text);

// `text` without the leading and trailing bytes found in `blanks`.
std::string_view AsciiTrim(std::string_view text, std::string_view blanks = kAsciiSpace);

}  // namespace lumarine
