#pragma once

#include <string>
#include <string_view>

namespace lumarine {

// Whether an address may become a link in a generated page: http, https and ftp only.
bool IsClickableAddress(std::string_view address);

// A feed's HTML fragment with its harmless markup kept: scripts, styles, frames, objects
// and embeds are dropped with their content, unknown elements lose their tags but keep their
// text, only plain presentational attributes survive, and parts of a table only inside a
// table the fragment opened. An href or src is made absolute against the item's link (when
// it is a web address, else the feed's address) and kept only when it is an http(s) address,
// or for links a mailto one: nothing can load from the user's disk. Character references are
// decoded as HTML does and the text written back escaped, and every element the fragment
// opens is closed inside it, so it cannot break out of the page around it.
std::string SanitizeHtmlFragment(std::string_view html, std::string_view itemLink = {},
                                 std::string_view feedAddress = {});

// A feed's title read as HTML, as readers do: b, i, em, strong, sub and sup stay in effect
// (without attributes), every other tag goes and its text stays, references are decoded
// once ("A &amp;amp; B" from the feed shows "A & B").
std::string SanitizeTitleHtml(std::string_view title);

// The same title as plain text, for notifications, tool tips and files.
std::string TitlePlainText(std::string_view title);

}  // namespace lumarine
