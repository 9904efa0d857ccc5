#include "platform/xml_safe_text.h"

#include <cstdint>

namespace lumarine {
namespace {

bool IsXmlChar(uint32_t c) {
  return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
         (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

// Length of the well-formed UTF-8 sequence at `pos` and its code point; 0 when the bytes
// there are no such sequence (overlong forms included).
size_t DecodeAt(std::string_view text, size_t pos, uint32_t& code) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[pos + i]); };
  const unsigned char lead = byte(0);
  size_t length = 0;
  uint32_t min = 0;
  if (lead < 0x80) {
    code = lead;
    return 1;
  }
  if ((lead & 0xE0) == 0xC0) {
    length = 2;
    code = lead & 0x1F;
    min = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3;
    code = lead & 0x0F;
    min = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4;
    code = lead & 0x07;
    min = 0x10000;
  } else {
    return 0;
  }
  if (pos + length > text.size()) return 0;
  for (size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
    code = (code << 6) | (byte(i) & 0x3F);
  }
  return code < min ? 0 : length;
}

}  // namespace

std::string XmlSafeText(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t pos = 0; pos < utf8.size();) {
    uint32_t code = 0;
    const size_t length = DecodeAt(utf8, pos, code);
    if (length == 0) {
      ++pos;
      continue;
    }
    if (IsXmlChar(code)) out.append(utf8.substr(pos, length));
    pos += length;
  }
  return out;
}

bool IsXmlSafeText(std::string_view utf8) { return XmlSafeText(utf8).size() == utf8.size(); }

}  // namespace lumarine
