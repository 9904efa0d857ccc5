#include "platform/html_sanitizer.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <vector>

#include "platform/ascii_text.h"
#include "platform/html_entities.h"
#include "platform/html_text.h"
#include "platform/utf8_append.h"
#include "platform/xml_document.h"

namespace lumarine {
namespace {

constexpr std::array kAllowedElements = {
    "a",      "abbr",   "b",          "big",      "blockquote", "br",    "caption", "center",
    "cite",   "code",   "col",        "colgroup", "dd",         "del",   "div",     "dl",
    "dt",     "em",     "figcaption", "figure",   "font",       "h1",    "h2",      "h3",
    "h4",     "h5",     "h6",         "hr",       "i",          "img",   "ins",     "li",
    "mark",   "ol",     "p",          "pre",      "q",          "s",     "small",   "span",
    "strike", "strong", "sub",        "sup",      "table",      "tbody", "td",      "tfoot",
    "th",     "thead",  "tr",         "tt",       "u",          "ul",    "wbr"};

// Parts of a table: kept only inside a table the fragment opened, so that a description
// cannot end the page's own cell and add a row that passes for another item.
constexpr std::array kTableParts = {"caption", "col", "colgroup", "tbody", "td",
                                    "tfoot",   "th",  "thead",    "tr"};

// The markup a title keeps: inline presentation, no attributes.
constexpr std::array kTitleElements = {"b", "em", "i", "strong", "sub", "sup"};

constexpr std::array kVoidElements = {"br", "col", "hr", "img", "wbr"};

// Elements whose content is dropped along with them: script, style sheets, frames and
// plug-in content, and raw-text elements whose content is not markup.
constexpr std::array kDroppedWithContent = {
    "applet",  "embed",    "frame",    "frameset", "iframe", "math",
    "noembed", "noframes", "noscript", "object",   "script", "select",
    "style",   "svg",      "template", "textarea", "title",  "xmp"};

constexpr std::array kAllowedAttributes = {
    "align", "alt",    "bgcolor", "border", "cellpadding", "cellspacing", "color",   "colspan",
    "dir",   "face",   "height",  "href",   "hspace",      "lang",        "rowspan", "size",
    "src",   "target", "title",   "valign", "vspace",      "width"};

template <size_t N>
bool In(const std::array<const char*, N>& names, std::string_view name) {
  return std::any_of(names.begin(), names.end(), [&](const char* n) { return name == n; });
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }
bool IsAlpha(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }

// A reference to no character (0, a surrogate, beyond Unicode) reads as U+FFFD, as in HTML.
void AppendReferenced(std::string& out, unsigned long code) {
  if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) code = 0xFFFD;
  AppendUtf8(out, code);
}

// Windows-1252 characters that HTML reads numeric references 0x80 to 0x9F as (0 where the
// code point stands for itself).
constexpr uint16_t kWindows1252[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

bool IsAlnum(char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; }

// Character references decoded as an HTML parser does: every named reference, the legacy
// names without ";" too, except that in an attribute value such a name followed by "=" or a
// letter or digit stays as written (so "?id=5&tab=2" keeps working), and numeric references
// with the browser's repairs.
std::string DecodeEntities(std::string_view text, bool attribute) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '&') {
      out += text[i];
      continue;
    }
    size_t j = i + 1;
    if (j < text.size() && text[j] == '#') {
      ++j;
      const bool hex = j < text.size() && (text[j] == 'x' || text[j] == 'X');
      if (hex) ++j;
      unsigned long code = 0;
      const size_t digitsStart = j;
      while (j < text.size() && (hex ? std::isxdigit(static_cast<unsigned char>(text[j]))
                                     : std::isdigit(static_cast<unsigned char>(text[j])))) {
        if (code <= 0x10FFFF)
          code = code * (hex ? 16 : 10) +
                 static_cast<unsigned long>(std::isdigit(static_cast<unsigned char>(text[j]))
                                                ? text[j] - '0'
                                                : std::tolower(text[j]) - 'a' + 10);
        ++j;
      }
      if (j == digitsStart) {
        out += '&';
        continue;
      }
      if (j < text.size() && text[j] == ';') ++j;
      if (code >= 0x80 && code <= 0x9F && kWindows1252[code - 0x80])
        code = kWindows1252[code - 0x80];
      AppendReferenced(out, code);
      i = j - 1;
      continue;
    }
    size_t end = j;
    while (end < text.size() && end - j < 32 && IsAlnum(text[end])) ++end;
    const std::string_view name = text.substr(j, end - j);
    if (end < text.size() && text[end] == ';') {
      if (const auto value = HtmlEntityText(name)) {
        out += *value;
        i = end;
        continue;
      }
    }
    // The longest legacy name the run starts with, as HTML reads "&notit;" as "¬it;".
    bool decoded = false;
    for (size_t length = std::min<size_t>(name.size(), 6); length >= 2 && !decoded; --length) {
      const std::string_view legacy = name.substr(0, length);
      if (!IsLegacyHtmlEntity(legacy)) continue;
      const size_t after = j + length;
      if (attribute && after < text.size() && (text[after] == '=' || IsAlnum(text[after]))) break;
      out += *HtmlEntityText(legacy);
      i = after - 1;
      decoded = true;
    }
    if (!decoded) out += '&';
  }
  return out;
}

bool HasWebScheme(std::string_view address) {
  const auto starts = [&](std::string_view prefix) {
    return address.size() >= prefix.size() &&
           AsciiLower(address.substr(0, prefix.size())) == prefix;
  };
  return starts("http://") || starts("https://");
}

// The address an href or src leads to: made absolute against `base`, scheme-relative ones as
// https; empty unless it is a web address (or, for a link, a mail address), so that nothing
// in a generated page can reach the user's disk or run script.
std::string SafeAddress(std::string_view raw, bool link, std::string_view base) {
  std::string address;
  // Browsers drop tabs and line breaks anywhere in an address, and the blanks around it.
  for (const char c : DecodeEntities(raw, true))
    if (c != '\t' && c != '\n' && c != '\r') address += c;
  const auto blank = [](char c) { return static_cast<unsigned char>(c) <= 0x20; };
  while (!address.empty() && blank(address.back())) address.pop_back();
  const size_t lead = static_cast<size_t>(std::find_if_not(address.begin(), address.end(), blank) -
                                          address.begin());
  address.erase(0, lead);
  if (address.empty()) return {};
  // Before the query, browsers read a backslash in a web address as "/".
  const size_t query = std::min(address.find('?'), address.find('#'));
  std::replace(address.begin(),
               query == std::string::npos ? address.end()
                                          : address.begin() + static_cast<std::ptrdiff_t>(query),
               '\\', '/');
  if (address.starts_with("//")) address = "https:" + address;
  if (link && AsciiLower(address.substr(0, 7)) == "mailto:") return address;
  const auto resolved = ResolveUri(address, base);
  if (!resolved || !HasWebScheme(*resolved)) return {};
  return *resolved;
}

struct Tag {
  std::string name;
  std::vector<std::pair<std::string, std::string>> attributes;  // raw values
  bool closing = false;
  bool selfClosing = false;
};

// Parses the tag starting at html[pos] == '<'; returns the position after its '>', or npos
// when the tag never ends.
size_t ParseTag(std::string_view html, size_t pos, Tag& tag) {
  size_t i = pos + 1;
  if (i < html.size() && html[i] == '/') {
    tag.closing = true;
    ++i;
  }
  const size_t nameStart = i;
  while (i < html.size() && !IsSpace(html[i]) && html[i] != '>' && html[i] != '/') ++i;
  tag.name = AsciiLower(html.substr(nameStart, i - nameStart));
  while (i < html.size()) {
    while (i < html.size() && (IsSpace(html[i]) || html[i] == '/')) {
      tag.selfClosing = html[i] == '/';
      ++i;
    }
    if (i >= html.size()) break;
    if (html[i] == '>') return i + 1;
    tag.selfClosing = false;
    const size_t attrStart = i;
    while (i < html.size() && !IsSpace(html[i]) && html[i] != '>' && html[i] != '/' &&
           (html[i] != '=' || i == attrStart))
      ++i;
    std::string name = AsciiLower(html.substr(attrStart, i - attrStart));
    while (i < html.size() && IsSpace(html[i])) ++i;
    std::string value;
    if (i < html.size() && html[i] == '=') {
      ++i;
      while (i < html.size() && IsSpace(html[i])) ++i;
      if (i < html.size() && (html[i] == '"' || html[i] == '\'')) {
        const char quote = html[i++];
        const size_t close = html.find(quote, i);
        if (close == std::string_view::npos) return std::string_view::npos;
        value = html.substr(i, close - i);
        i = close + 1;
      } else {
        const size_t valueStart = i;
        while (i < html.size() && !IsSpace(html[i]) && html[i] != '>') ++i;
        value = html.substr(valueStart, i - valueStart);
      }
    }
    tag.attributes.emplace_back(std::move(name), std::move(value));
  }
  return std::string_view::npos;
}

std::string WriteStartTag(const Tag& tag, std::string_view base) {
  std::string out = "<" + tag.name;
  for (const auto& [name, value] : tag.attributes) {
    if (!In(kAllowedAttributes, name)) continue;
    std::string decoded;
    if (name == "href" || name == "src") {
      decoded = SafeAddress(value, name == "href", base);
      if (decoded.empty()) continue;
    } else {
      decoded = DecodeEntities(value, true);
    }
    out += " " + name + "=\"" + HtmlEscape(decoded) + "\"";
  }
  return out + ">";
}

bool StartsWithNoCase(std::string_view text, size_t pos, std::string_view prefix) {
  if (text.size() - pos < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(text[pos + i])) != prefix[i]) return false;
  return true;
}

// The position just after the end tag of `name` at or after `pos` (case-insensitive), or the
// end of the text when it never closes.
size_t SkipPast(std::string_view html, size_t pos, const std::string& name) {
  const std::string endTag = "</" + name;
  for (size_t at = html.find('<', pos); at != std::string_view::npos; at = html.find('<', at + 1)) {
    if (!StartsWithNoCase(html, at, endTag)) continue;
    const size_t after = at + endTag.size();
    if (after >= html.size() || IsSpace(html[after]) || html[after] == '>' || html[after] == '/') {
      const size_t close = html.find('>', after);
      return close == std::string_view::npos ? html.size() : close + 1;
    }
  }
  return html.size();
}

// Elements whose content is never markup: a "/>" does not end them.
bool IsRawTextElement(std::string_view name) {
  return name == "script" || name == "style" || name == "textarea" || name == "title" ||
         name == "xmp" || name == "noembed" || name == "noframes" || name == "noscript";
}

}  // namespace

bool IsClickableAddress(std::string_view address) {
  while (!address.empty() && IsSpace(address.front())) address.remove_prefix(1);
  return IsWebAddress(address);
}

namespace {

enum class Output { kDescription, kTitle, kPlainText };

// The one sanitiser: descriptions keep their harmless markup, titles only inline
// presentation, plain text none; scripts and their kin go with their content in all three.
std::string Sanitize(std::string_view html, Output output, std::string_view base) {
  std::string out;
  std::vector<std::string> open;
  const auto text = [&](std::string_view raw) {
    const std::string decoded = DecodeEntities(raw, false);
    if (output == Output::kPlainText)
      out += decoded;
    else
      AppendMarkupEscaped(decoded, false, out);
  };
  size_t pos = 0;
  while (pos < html.size()) {
    const size_t lt = html.find('<', pos);
    text(html.substr(pos, lt == std::string_view::npos ? std::string_view::npos : lt - pos));
    if (lt == std::string_view::npos) break;
    pos = lt;
    const char next = pos + 1 < html.size() ? html[pos + 1] : '\0';
    if (html.substr(pos, 4) == "<!--") {
      const size_t end = html.find("-->", pos + 4);
      pos = end == std::string_view::npos ? html.size() : end + 3;
      continue;
    }
    if (next == '!' || next == '?') {
      const size_t end = html.find('>', pos);
      pos = end == std::string_view::npos ? html.size() : end + 1;
      continue;
    }
    if (!IsAlpha(next) && !(next == '/' && pos + 2 < html.size() && IsAlpha(html[pos + 2]))) {
      text("<");
      ++pos;
      continue;
    }
    Tag tag;
    const size_t after = ParseTag(html, pos, tag);
    if (after == std::string_view::npos) break;  // an unfinished tag is dropped with the rest
    pos = after;
    if (tag.closing) {
      const auto it = std::find(open.rbegin(), open.rend(), tag.name);
      if (it == open.rend()) continue;  // closes nothing this fragment opened
      const size_t keep = static_cast<size_t>(open.rend() - it) - 1;
      while (open.size() > keep) {
        out += "</" + open.back() + ">";
        open.pop_back();
      }
      continue;
    }
    if (In(kDroppedWithContent, tag.name)) {
      if (!tag.selfClosing || IsRawTextElement(tag.name)) pos = SkipPast(html, pos, tag.name);
      continue;
    }
    if (tag.name == "plaintext") break;  // everything after it would be raw text
    if (output == Output::kPlainText) continue;
    if (output == Output::kTitle) {
      if (!In(kTitleElements, tag.name)) continue;
      out += "<" + tag.name + ">";
      open.push_back(tag.name);
      continue;
    }
    if (!In(kAllowedElements, tag.name)) continue;
    if (In(kTableParts, tag.name) && std::find(open.begin(), open.end(), "table") == open.end())
      continue;
    out += WriteStartTag(tag, base);
    if (!In(kVoidElements, tag.name)) open.push_back(tag.name);
  }
  while (!open.empty()) {
    out += "</" + open.back() + ">";
    open.pop_back();
  }
  return out;
}

}  // namespace

std::string SanitizeHtmlFragment(std::string_view html, std::string_view itemLink,
                                 std::string_view feedAddress) {
  const std::string_view base = HasWebScheme(itemLink) ? itemLink : feedAddress;
  return Sanitize(html, Output::kDescription, base);
}

std::string SanitizeTitleHtml(std::string_view title) {
  return Sanitize(title, Output::kTitle, {});
}

std::string TitlePlainText(std::string_view title) {
  return Sanitize(title, Output::kPlainText, {});
}

}  // namespace lumarine
