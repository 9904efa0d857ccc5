#include "platform/html_text.h"

#include <array>

#include "platform/text_codec.h"

namespace lumarine {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

bool IsUnreserved(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '_' || c == '.' || c == '~';
}

void AppendHexEscape(std::string& out, const char* prefix, unsigned value, int digits) {
  out += prefix;
  for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4)
    out += kHexDigits[(value >> shift) & 0xF];
}

}  // namespace

void AppendMarkupEscaped(std::string_view text, bool attribute, std::string& out) {
  for (const char c : text) {
    if (c == '&')
      out += "&amp;";
    else if (c == '<')
      out += "&lt;";
    else if (c == '>')
      out += "&gt;";
    else if (c == '"' && attribute)
      out += "&quot;";
    else
      out += c;
  }
}

std::string HtmlEscape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&#39;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string ScriptStringEscape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    // U+2028 and U+2029 (E2 80 A8/A9) end a line inside older script engines' literals.
    if (c == 0xE2 && i + 2 < text.size() && static_cast<unsigned char>(text[i + 1]) == 0x80 &&
        (static_cast<unsigned char>(text[i + 2]) == 0xA8 ||
         static_cast<unsigned char>(text[i + 2]) == 0xA9)) {
      AppendHexEscape(out, "\\u", static_cast<unsigned char>(text[i + 2]) == 0xA8 ? 0x2028 : 0x2029,
                      4);
      i += 2;
    } else if (c == '\\' || c == '\'' || c == '"' || c == '<' || c == '>' || c == '&' || c < 0x20 ||
               c == 0x7F) {
      AppendHexEscape(out, "\\x", c, 2);
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

std::string InsertHtmlScript(std::string_view elementId, std::string_view where,
                             std::string_view html) {
  return "document.getElementById('" + ScriptStringEscape(elementId) + "').insertAdjacentHTML('" +
         std::string(where) + "', '" + ScriptStringEscape(html) + "');";
}

std::string PercentEncode(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (IsUnreserved(c))
      out += ch;
    else
      AppendHexEscape(out, "%", c, 2);
  }
  return out;
}

bool IsWebAddress(std::string_view address) {
  static constexpr std::array<std::string_view, 3> kSchemes = {"http://", "https://", "ftp://"};
  for (std::string_view scheme : kSchemes)
    if (address.size() >= scheme.size() && EqualsNoCase(address.substr(0, scheme.size()), scheme))
      return true;
  return false;
}

}  // namespace lumarine
