#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lumarine {

// A page talks to its window through addresses "app:<command id>@<argument>".
struct AppLink {
  unsigned commandId = 0;
  std::string argument;
};

// The number at the start of a text as C's atoi reads it: leading white space skipped, an
// optional sign, digits up to the first non-digit; 0 when there is none. Saturates instead of
// overflowing.
int LeadingInt(std::string_view text);

// For an address starting with "app:" in any letter case: the command id (LeadingInt of the
// rest), and the argument after the first "@" (later "@" belong to it), or a single blank
// when there is no "@". The browser reports addresses percent-encoded, so the argument is
// decoded once as UTF-8 and arrives as the page wrote it. Other addresses give nothing.
std::optional<AppLink> ParseAppLink(std::string_view address);

}  // namespace lumarine
