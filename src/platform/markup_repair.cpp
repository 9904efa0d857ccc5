#include "platform/markup_repair.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <iterator>
#include <utility>

#include "platform/html_entities.h"

namespace lumarine {
namespace {

// Appends a character reference for each code point of a UTF-8 text.
void AppendCharacterReferences(std::string_view utf8, std::string& out) {
  size_t i = 0;
  while (i < utf8.size()) {
    const auto byte = static_cast<unsigned char>(utf8[i]);
    const size_t length = byte < 0x80 ? 1 : byte < 0xE0 ? 2 : byte < 0xF0 ? 3 : 4;
    uint32_t code = length == 1 ? byte : byte & (0x7F >> length);
    for (size_t k = 1; k < length && i + k < utf8.size(); ++k)
      code = (code << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    out += "&#" + std::to_string(code) + ";";
    i += length;
  }
}

bool IsXmlCharacter(uint32_t code) {
  return code == 0x9 || code == 0xA || code == 0xD || (code >= 0x20 && code <= 0xD7FF) ||
         (code >= 0xE000 && code <= 0xFFFD) || (code >= 0x10000 && code <= 0x10FFFF);
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Bytes that interrupt a run copied as it is.
bool IsSpecial(unsigned char c) { return c == '&' || c == '<' || c < 0x20 || c == 0xEF; }

}  // namespace

bool IsXmlNameByte(unsigned char c) {
  return std::isalnum(c) || c == '_' || c == ':' || c == '.' || c == '-' || c >= 0x80;
}

MarkupRepair::MarkupRepair(std::string_view text, size_t limit) : text_(text), limit_(limit) {
  out_.reserve(text.size() + text.size() / 8);
}

std::string MarkupRepair::Run() {
  while (i_ < text_.size()) {
    if (out_.size() > limit_) return {};
    const auto c = static_cast<unsigned char>(text_[i_]);
    if (!IsSpecial(c))
      PlainRun();
    else if (c == '<')
      LessThan();
    else if (c == '&')
      Ampersand();
    else
      OtherCharacter();
  }
  if (out_.size() > limit_) return {};
  return std::move(out_);
}

bool MarkupRepair::At(size_t i, std::string_view what) const {
  return text_.substr(i).starts_with(what);
}

size_t MarkupRepair::Through(size_t from, std::string_view close) const {
  const size_t end = text_.find(close, from);
  return end == std::string_view::npos ? text_.size() : end + close.size();
}

void MarkupRepair::CopyClean(size_t from, size_t to) {
  for (size_t i = from; i < to; ++i) {
    const auto c = static_cast<unsigned char>(text_[i]);
    if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') continue;
    // U+FFFE and U+FFFF.
    if (c == 0xEF && i + 2 < to && text_[i + 1] == '\xBF' &&
        (text_[i + 2] == '\xBE' || text_[i + 2] == '\xBF')) {
      i += 2;
      continue;
    }
    out_ += static_cast<char>(c);
  }
}

void MarkupRepair::PlainRun() {
  size_t end = i_ + 1;
  while (end < text_.size() && !IsSpecial(static_cast<unsigned char>(text_[end]))) ++end;
  out_.append(text_.substr(i_, end - i_));
  i_ = end;
}

void MarkupRepair::OtherCharacter() {
  const size_t length =
      1 + (static_cast<unsigned char>(text_[i_]) == 0xEF && i_ + 2 < text_.size() ? 2 : 0);
  CopyClean(i_, i_ + length);
  i_ += length;
}

void MarkupRepair::LessThan() {
  size_t end = 0;
  if (At(i_, "<![CDATA["))
    end = Through(i_, "]]>");
  else if (At(i_, "<!--"))
    end = Through(i_ + 4, "-->");
  else if (At(i_, "<?"))
    end = Through(i_, "?>");
  else if (At(i_, "<!DOCTYPE"))
    end = DoctypeEnd(i_);
  if (end) {
    CopyClean(i_, end);
    i_ = end;
    return;
  }
  const auto next = i_ + 1 < text_.size() ? static_cast<unsigned char>(text_[i_ + 1]) : 0;
  const bool markup = std::isalpha(next) || next == '_' || next == ':' || next >= 0x80 ||
                      next == '/' || next == '!';
  out_ += markup || i_ + 1 == text_.size() ? "<" : "&lt;";
  ++i_;
}

size_t MarkupRepair::DoctypeEnd(size_t from) {
  // To its closing ">", past quoted literals and the internal subset.
  const size_t n = text_.size();
  size_t k = from + 9;
  int depth = 0;
  char quote = 0;
  for (; k < n; ++k) {
    const char d = text_[k];
    if (quote) {
      if (d == quote) quote = 0;
    } else if (d == '"' || d == '\'') {
      quote = d;
    } else if (At(k, "<!--")) {
      k = Through(k + 4, "-->") - 1;
    } else if (At(k, "<!ENTITY")) {
      size_t name = k + 8;
      while (name < n && IsSpace(text_[name])) ++name;
      size_t nameEnd = name;
      while (nameEnd < n && IsXmlNameByte(static_cast<unsigned char>(text_[nameEnd]))) ++nameEnd;
      if (nameEnd > name) declared_.emplace_back(text_.substr(name, nameEnd - name));
      k = nameEnd - 1;
    } else if (d == '[') {
      ++depth;
    } else if (d == ']') {
      --depth;
    } else if (d == '>' && depth <= 0) {
      break;
    }
  }
  return std::min(n, k + 1);
}

void MarkupRepair::Ampersand() {
  const bool numeric = i_ + 1 < text_.size() && text_[i_ + 1] == '#';
  if (numeric ? CharacterReference() : NamedReference()) return;
  // A "&" to show as it is.
  out_ += "&amp;";
  ++i_;
}

bool MarkupRepair::CharacterReference() {
  const size_t n = text_.size();
  const size_t k = i_ + 1;
  const bool hex = k + 1 < n && (text_[k + 1] == 'x' || text_[k + 1] == 'X');
  size_t digit = k + (hex ? 2 : 1);
  uint64_t code = 0;
  size_t digits = 0;
  while (digit < n && (hex ? std::isxdigit(static_cast<unsigned char>(text_[digit]))
                           : std::isdigit(static_cast<unsigned char>(text_[digit])))) {
    const char d = text_[digit];
    const int value = d <= '9' ? d - '0' : (d | 0x20) - 'a' + 10;
    if (code <= 0x10FFFF) code = code * (hex ? 16 : 10) + static_cast<uint64_t>(value);
    ++digit;
    ++digits;
  }
  if (digits == 0 || digit >= n || text_[digit] != ';') return false;
  if (IsXmlCharacter(static_cast<uint32_t>(std::min<uint64_t>(code, 0x110000))))
    out_.append(text_.substr(i_, digit + 1 - i_));
  i_ = digit + 1;
  return true;
}

bool MarkupRepair::NamedReference() {
  const size_t n = text_.size();
  size_t k = i_ + 1;
  while (k < n && k - i_ <= 64 && IsXmlNameByte(static_cast<unsigned char>(text_[k]))) ++k;
  const std::string_view name = text_.substr(i_ + 1, k - i_ - 1);
  if (name.empty() || k >= n || text_[k] != ';' ||
      std::isdigit(static_cast<unsigned char>(name[0])) || name[0] == '.' || name[0] == '-')
    return false;
  static constexpr std::pair<std::string_view, std::string_view> kXml[] = {
      {"amp", "&#38;"}, {"lt", "&#60;"}, {"gt", "&#62;"}, {"quot", "&#34;"}, {"apos", "&#39;"}};
  const auto xml = std::find_if(std::begin(kXml), std::end(kXml),
                                [&](const auto& entry) { return entry.first == name; });
  if (xml != std::end(kXml))
    out_ += xml->second;
  else if (std::find(declared_.begin(), declared_.end(), name) != declared_.end())
    out_.append(text_.substr(i_, k + 1 - i_));
  else if (const auto html = HtmlEntityText(name))
    AppendCharacterReferences(*html, out_);
  else
    return false;
  i_ = k + 1;
  return true;
}

}  // namespace lumarine
