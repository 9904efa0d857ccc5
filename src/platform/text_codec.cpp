#include "platform/text_codec.h"

#include <iconv.h>

#include <cerrno>
#include <memory>

namespace lumarine {
namespace {

// iconv descriptors are costly to open and not thread-safe: one pair per thread.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts `in`; on a byte that cannot be converted, appends `replacement` and skips it.
  std::string Convert(std::string_view in, std::string_view replacement) {
    std::string out;
    if (cd_ == reinterpret_cast<iconv_t>(-1)) return out;
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    out.reserve(in.size() * 3 / 2 + 16);
    char* inPtr = const_cast<char*>(in.data());
    size_t inLeft = in.size();
    char buffer[4096];
    while (inLeft > 0) {
      char* outPtr = buffer;
      size_t outLeft = sizeof buffer;
      const size_t result = iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft);
      out.append(buffer, static_cast<size_t>(outPtr - buffer));
      if (result != static_cast<size_t>(-1)) continue;
      if (errno == E2BIG) continue;
      // EILSEQ or EINVAL (a cut sequence at the end): replace one byte and go on.
      out.append(replacement);
      ++inPtr;
      --inLeft;
      iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    }
    return out;
  }

 private:
  iconv_t cd_;
};

Converter& ToGb() {
  thread_local Converter converter("GB18030", "UTF-8");
  return converter;
}

Converter& FromGb() {
  thread_local Converter converter("UTF-8", "GB18030");
  return converter;
}

bool IsAscii(std::string_view text) {
  for (unsigned char c : text)
    if (c >= 0x80) return false;
  return true;
}

unsigned char FoldAscii(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string Utf8ToGb18030(std::string_view utf8) {
  if (IsAscii(utf8)) return std::string(utf8);
  return ToGb().Convert(utf8, "?");
}

std::string Gb18030ToUtf8(std::string_view gb) {
  if (IsAscii(gb)) return std::string(gb);
  return FromGb().Convert(gb, "\xEF\xBF\xBD");
}

std::string SanitiseUtf8(std::string_view text) {
  if (IsAscii(text)) return std::string(text);
  thread_local Converter converter("UTF-8", "UTF-8");
  return converter.Convert(text, "\xEF\xBF\xBD");
}

size_t Gb18030Length(std::string_view utf8) {
  return IsAscii(utf8) ? utf8.size() : Utf8ToGb18030(utf8).size();
}

size_t Gb18030CharLength(std::string_view gb, size_t pos) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(gb[i]); };
  const unsigned char lead = byte(pos);
  if (lead < 0x81 || lead == 0xFF || pos + 1 >= gb.size()) return 1;
  const unsigned char second = byte(pos + 1);
  if (second >= 0x30 && second <= 0x39) return pos + 3 < gb.size() ? 4 : 1;
  if (second >= 0x40 && second != 0x7F && second != 0xFF) return 2;
  return 1;
}

std::string TruncateToGbBytes(std::string_view utf8, size_t maxBytes) {
  if (utf8.size() <= maxBytes && IsAscii(utf8)) return std::string(utf8);
  const std::string gb = Utf8ToGb18030(utf8);
  if (gb.size() <= maxBytes) return std::string(utf8);
  size_t end = 0;
  while (end < gb.size()) {
    const size_t next = end + Gb18030CharLength(gb, end);
    if (next > maxBytes) break;
    end = next;
  }
  return Gb18030ToUtf8(std::string_view(gb).substr(0, end));
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (FoldAscii(static_cast<unsigned char>(a[i])) != FoldAscii(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

bool EqualsNoCaseGb(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  size_t i = 0;
  while (i < a.size()) {
    const size_t length = Gb18030CharLength(a, i);
    if (length != Gb18030CharLength(b, i)) return false;
    if (length == 1) {
      if (FoldAscii(static_cast<unsigned char>(a[i])) !=
          FoldAscii(static_cast<unsigned char>(b[i])))
        return false;
    } else if (a.substr(i, length) != b.substr(i, length)) {
      return false;
    }
    i += length;
  }
  return true;
}

std::string PercentDecode(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
        HexValue(text[i + 2]) >= 0) {
      out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace lumarine
