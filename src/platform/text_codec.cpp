#include "platform/text_codec.h"

#include <iconv.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>

#include "platform/ascii_text.h"

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

  bool IsOpen() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Converts `in`; on a sequence that cannot be converted, appends `replacement` and skips
  // one code unit of `unit` bytes (2 for UTF-16). With `euroAt80`, a lone 0x80 byte becomes
  // the euro sign instead.
  std::string Convert(std::string_view in, std::string_view replacement, size_t unit = 1,
                      bool euroAt80 = false) {
    std::string out;
    if (!IsOpen()) return out;
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
      // EILSEQ or EINVAL (a cut sequence at the end): replace one unit and go on.
      const bool euro = euroAt80 && static_cast<unsigned char>(*inPtr) == 0x80;
      out.append(euro ? std::string_view("\xE2\x82\xAC") : replacement);
      const size_t skip = euro ? 1 : std::min(unit, inLeft);
      inPtr += skip;
      inLeft -= skip;
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

// Length of the well-formed UTF-8 sequence at text[pos], or 0 when it is not one.
size_t Utf8SequenceLength(std::string_view text, size_t pos) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  const auto trail = [&](size_t i) { return i < text.size() && (byte(i) & 0xC0) == 0x80; };
  const unsigned char lead = byte(pos);
  if (lead < 0x80) return 1;
  if (lead < 0xC2) return 0;
  if (lead < 0xE0) return trail(pos + 1) ? 2 : 0;
  if (lead < 0xF0) {
    if (!trail(pos + 1) || !trail(pos + 2)) return 0;
    const unsigned char second = byte(pos + 1);
    if (lead == 0xE0 && second < 0xA0) return 0;   // overlong
    if (lead == 0xED && second >= 0xA0) return 0;  // surrogate
    return 3;
  }
  if (lead < 0xF5) {
    if (!trail(pos + 1) || !trail(pos + 2) || !trail(pos + 3)) return 0;
    const unsigned char second = byte(pos + 1);
    if (lead == 0xF0 && second < 0x90) return 0;   // overlong
    if (lead == 0xF4 && second >= 0x90) return 0;  // past U+10FFFF
    return 4;
  }
  return 0;
}

// Position of the first byte that does not start a well-formed sequence; size when none.
size_t FirstInvalidUtf8(std::string_view text) {
  size_t pos = 0;
  while (pos < text.size()) {
    // Runs of ASCII are the common case: skip them eight bytes at a time.
    while (pos + 8 <= text.size()) {
      uint64_t word;
      std::memcpy(&word, text.data() + pos, 8);
      if (word & 0x8080808080808080ULL) break;
      pos += 8;
    }
    if (pos >= text.size()) break;
    const size_t length = Utf8SequenceLength(text, pos);
    if (length == 0) return pos;
    pos += length;
  }
  return text.size();
}

std::string LowerTrimmed(std::string_view text) { return AsciiLower(AsciiTrim(text)); }

// A label iconv may be asked to open: plain name characters only, so that text from a
// server never reaches the converter loader as anything but a charset name.
bool IsPlainLabel(std::string_view label) {
  return !label.empty() && label.size() <= 40 &&
         std::all_of(label.begin(), label.end(), [](char c) {
           return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == '.' ||
                  c == ':';
         });
}

// One open converter per charset and thread; a bounded set, since labels come from servers.
Converter& FromCharset(const std::string& charset) {
  thread_local std::map<std::string, std::unique_ptr<Converter>> converters;
  auto found = converters.find(charset);
  if (found != converters.end()) return *found->second;
  if (converters.size() >= 16) converters.clear();
  auto converter = std::make_unique<Converter>("UTF-8", charset.c_str());
  return *converters.emplace(charset, std::move(converter)).first->second;
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
  size_t bad = FirstInvalidUtf8(text);
  if (bad == text.size()) return std::string(text);
  std::string out(text.substr(0, bad));
  out.reserve(text.size() + 16);
  while (bad < text.size()) {
    out += "\xEF\xBF\xBD";
    const std::string_view rest = text.substr(bad + 1);
    const size_t next = FirstInvalidUtf8(rest);
    out += rest.substr(0, next);
    bad += 1 + next;
  }
  return out;
}

bool IsValidUtf8(std::string_view text) { return FirstInvalidUtf8(text) == text.size(); }

bool IsGbCharset(std::string_view charset) {
  const std::string label = LowerTrimmed(charset);
  return label == "gb2312" || label == "gbk" || label == "gb18030" || label == "gb_2312-80" ||
         label == "x-gbk" || label == "cp936" || label == "ms936" || label == "windows-936" ||
         label == "euc-cn" || label == "csgb2312" || label == "chinese" || label == "csgbk";
}

std::string DecodeToUtf8(std::string_view bytes, std::string_view charset) {
  const std::string label = LowerTrimmed(charset);
  if (label.empty() || label == "utf-8" || label == "utf8" || label == "unicode-1-1-utf-8" ||
      !IsPlainLabel(label))
    return SanitiseUtf8(bytes);
  if (IsGbCharset(label)) {
    if (IsAscii(bytes)) return std::string(bytes);
    return FromCharset("GB18030").Convert(bytes, "\xEF\xBF\xBD", 1, true);
  }
  const size_t unit = label.starts_with("utf-16") || label.starts_with("ucs-2")   ? 2
                      : label.starts_with("utf-32") || label.starts_with("ucs-4") ? 4
                                                                                  : 1;
  Converter& converter = FromCharset(label);
  if (!converter.IsOpen()) return SanitiseUtf8(bytes);
  return converter.Convert(bytes, "\xEF\xBF\xBD", unit);
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
