#pragma once

#include <string>
#include <string_view>

namespace lumarine {

// Text that can live in an XML 1.0 document: the characters XML 1.0 forbids (control
// characters other than tab, line feed and carriage return, U+FFFE, U+FFFF, surrogates) and
// bytes that are not UTF-8 are dropped. Every text that enters the subject file passes here
// first, or one pasted control character would make the whole file unreadable.
std::string XmlSafeText(std::string_view utf8);

// Whether XmlSafeText would keep the text as it is.
bool IsXmlSafeText(std::string_view utf8);

}  // namespace lumarine
