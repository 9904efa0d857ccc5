#pragma once

#include <string>
#include <string_view>

namespace lumarine {

// Whether an address may become a link in a generated page: http, https and ftp only.
bool IsClickableAddress(std::string_view address);

// A feed's HTML fragment with its harmless markup kept: scripts, styles, frames, objects
// and embeds are dropped with their content, unknown elements lose their tags but keep their
// text, only plain presentational attributes survive, addresses keep only web schemes (or
// none), and every element the fragment opens is closed inside it, so it cannot break out of
// the page around it.
std::string SanitizeHtmlFragment(std::string_view html);

}  // namespace lumarine
