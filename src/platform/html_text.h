#pragma once

#include <string>
#include <string_view>

namespace lumarine {

// Escaping for text that the program places into its HTML pages. All texts are UTF-8.

// Text as HTML character data or a quoted attribute value: & < > " ' become references.
std::string HtmlEscape(std::string_view text);

// Appends text as markup character data: & < > become references, and " too when
// `attribute` (a double-quoted value). What comes back out reads once as it went in.
void AppendMarkupEscaped(std::string_view text, bool attribute, std::string& out);

// Text as the inside of a JavaScript string literal quoted with ' or ". Also escapes < > &
// and the two line separators U+2028/U+2029, so the result is safe inside HTML as well.
std::string ScriptStringEscape(std::string_view text);

// The script statement that inserts `html` at `where` ("afterbegin", "beforeend", ...) of the
// element whose id is `elementId`. Both texts travel as escaped string literals, so neither
// can end the call early.
std::string InsertHtmlScript(std::string_view elementId, std::string_view where,
                             std::string_view html);

// Every byte outside the unreserved set A-Z a-z 0-9 - _ . ~ becomes %XX (upper-case hex);
// PercentDecode (platform/text_codec.h) reverses it.
std::string PercentEncode(std::string_view text);

// True when the address starts with http://, https:// or ftp:// in any letter case: the
// only addresses from feeds that pages make clickable.
bool IsWebAddress(std::string_view address);

}  // namespace lumarine
