#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace lumarine {

// Rewrites what only spoils a document for a strict parser, where the repair is certain, in
// valid UTF-8 text: characters XML forbids (and references to them) are dropped; HTML named
// references become character references; a "&" that starts no reference becomes "&amp;"
// and a "<" that cannot start markup "&lt;", so that they show as written. The five XML
// references become character references too: once recovery has met an error, libxml2 drops
// every named reference after it. Comments, CDATA sections, processing instructions and the
// document type declaration keep their text; names the internal subset declares keep their
// references. One object repairs one text; not shared between threads.
class MarkupRepair {
 public:
  MarkupRepair(std::string_view text, size_t limit);

  // The repaired text; empty when it would pass `limit` bytes.
  std::string Run();

 private:
  bool At(size_t i, std::string_view what) const;
  // End (one past) of a construct closed by `close`, or the end of the text.
  size_t Through(size_t from, std::string_view close) const;
  // Copies text[from, to) dropping the characters XML forbids.
  void CopyClean(size_t from, size_t to);
  void PlainRun();
  void OtherCharacter();
  void LessThan();
  // End (one past) of a document type declaration at `from`; notes the entities it declares.
  size_t DoctypeEnd(size_t from);
  void Ampersand();
  bool CharacterReference();
  bool NamedReference();

  std::string_view text_;
  size_t limit_;
  std::string out_;
  std::vector<std::string> declared_;
  size_t i_ = 0;
};

// Whether a byte may stand in an XML name (any byte of a multi-byte character may).
bool IsXmlNameByte(unsigned char c);

}  // namespace lumarine
