#include "html_sanitizer.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <vector>

#include "htmlview/html_text.h"

namespace lumarine {
namespace {

constexpr std::array kAllowedElements = {
    "a",     "abbr",  "b",     "big",    "blockquote", "br",   "caption", "center", "cite",  "code",
    "dd",    "div",   "dl",    "dt",     "em",         "font", "h1",      "h2",     "h3",    "h4",
    "h5",    "h6",    "hr",    "i",      "img",        "li",   "ol",      "p",      "pre",   "q",
    "s",     "small", "span",  "strike", "strong",     "sub",  "sup",     "table",  "tbody", "td",
    "tfoot", "th",    "thead", "tr",     "tt",         "u",    "ul",      "wbr"};

constexpr std::array kVoidElements = {"br", "hr", "img", "wbr"};

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

std::string Lower(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lower;
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }
bool IsAlpha(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }

void AppendUtf8(std::string& out, unsigned long code) {
  if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) code = 0xFFFD;
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// Character references decoded the way a browser reads an attribute value, so that an
// address such as "&#106;avascript:" is judged by what it really says.
std::string DecodeEntities(std::string_view text) {
  static constexpr std::pair<std::string_view, char> kNamed[] = {
      {"amp", '&'},   {"lt", '<'},    {"gt", '>'},   {"quot", '"'},
      {"apos", '\''}, {"colon", ':'}, {"tab", '\t'}, {"newline", '\n'}};
  std::string out;
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
      AppendUtf8(out, code);
      i = j - 1;
      continue;
    }
    bool matched = false;
    for (const auto& [name, value] : kNamed) {
      if (Lower(text.substr(j, name.size())) == name) {
        j += name.size();
        if (j < text.size() && text[j] == ';') ++j;
        out += value;
        i = j - 1;
        matched = true;
        break;
      }
    }
    if (!matched) out += '&';
  }
  return out;
}

// Web schemes, mail, or a relative address (no scheme at all).
bool IsSafeAddress(std::string_view raw) {
  std::string address;
  for (char c : DecodeEntities(raw))
    if (static_cast<unsigned char>(c) > 0x20) address += c;  // browsers ignore these in schemes
  const size_t colon = address.find(':');
  const size_t end = address.find_first_of("/?#");
  if (colon == std::string::npos || (end != std::string::npos && end < colon)) return true;
  const std::string scheme = Lower(address.substr(0, colon));
  return scheme == "http" || scheme == "https" || scheme == "ftp" || scheme == "mailto";
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
  tag.name = Lower(html.substr(nameStart, i - nameStart));
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
    std::string name = Lower(html.substr(attrStart, i - attrStart));
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

std::string WriteStartTag(const Tag& tag) {
  std::string out = "<" + tag.name;
  for (const auto& [name, value] : tag.attributes) {
    if (!In(kAllowedAttributes, name)) continue;
    if ((name == "href" || name == "src") && !IsSafeAddress(value)) continue;
    out += " " + name + "=\"" + HtmlEscape(DecodeEntities(value)) + "\"";
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

std::string SanitizeHtmlFragment(std::string_view html) {
  std::string out;
  std::vector<std::string> open;
  size_t pos = 0;
  while (pos < html.size()) {
    const size_t lt = html.find('<', pos);
    out += html.substr(pos, lt == std::string_view::npos ? std::string_view::npos : lt - pos);
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
      out += "&lt;";
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
    if (!In(kAllowedElements, tag.name)) continue;
    out += WriteStartTag(tag);
    if (!In(kVoidElements, tag.name)) open.push_back(tag.name);
  }
  while (!open.empty()) {
    out += "</" + open.back() + ">";
    open.pop_back();
  }
  return out;
}

}  // namespace lumarine
