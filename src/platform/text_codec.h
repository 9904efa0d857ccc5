#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace lumarine {

// Program text is UTF-8; the GB2312 file formats are read and written as GB18030, a superset
// that round-trips every GB2312 byte and every Unicode character.

std::string Utf8ToGb18030(std::string_view utf8);

// Bytes that are not valid GB18030 become U+FFFD, one per offending byte.
std::string Gb18030ToUtf8(std::string_view gb);

// The text with every invalid UTF-8 sequence replaced by U+FFFD.
std::string SanitiseUtf8(std::string_view text);

// Whether the text is well-formed UTF-8 (no overlong form, surrogate or value past U+10FFFF).
bool IsValidUtf8(std::string_view text);

// Whether a charset label names GB2312, GBK, code page 936 or GB18030 (any letter case).
bool IsGbCharset(std::string_view charset);

// Decodes text in the charset a document or a server named to UTF-8. Undecodable sequences
// become U+FFFD instead of failing. The GB labels all decode as GB18030, except that a single
// 0x80 is the euro sign, as code page 936 reads it (servers that say gb2312 or gbk mean that
// code page). An empty or unknown label reads the text as UTF-8.
std::string DecodeToUtf8(std::string_view bytes, std::string_view charset);

// Length in bytes of the GB18030 form of a UTF-8 text.
size_t Gb18030Length(std::string_view utf8);

// Length of the GB18030 character starting at gb[pos]: 1, 2 or 4 (1 for a stray byte).
size_t Gb18030CharLength(std::string_view gb, size_t pos);

// The longest prefix of a UTF-8 text whose GB18030 form has at most maxBytes bytes.
// Never cuts inside a character.
std::string TruncateToGbBytes(std::string_view utf8, size_t maxBytes);

// Case-insensitive comparison of UTF-8 texts: ASCII letters fold, other characters compare
// as whole units (UTF-8 continuation bytes never look like ASCII letters).
bool EqualsNoCase(std::string_view a, std::string_view b);

// Case-insensitive comparison of GB18030 byte texts, treating multibyte characters as units
// (their trail bytes may look like ASCII letters and must not fold).
bool EqualsNoCaseGb(std::string_view a, std::string_view b);

// Decodes each %XX once; a "%" not followed by two hex digits stays as it is.
std::string PercentDecode(std::string_view text);

}  // namespace lumarine
