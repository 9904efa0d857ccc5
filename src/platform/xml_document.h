#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct _xmlDoc;
struct _xmlNode;

namespace lumarine {

// A node of an XmlDocument; valid while its document lives.
class XmlNode {
 public:
  explicit XmlNode(_xmlNode* node) : node_(node) {}

  // XPath relative to this node.
  std::optional<XmlNode> SelectSingle(const std::string& path) const;
  std::vector<XmlNode> SelectAll(const std::string& path) const;

  // Text content of the node and its descendants, UTF-8, leading and trailing white space
  // trimmed. Internal entities are expanded up to a fixed output bound.
  std::string Text() const;
  // The content as markup (elements by their local names, text escaped): what an XHTML
  // body or an inline Atom construct holds. Comments and processing instructions go.
  std::string InnerMarkup() const;
  std::string Name() const;

  // Walking the element children in document order, without XPath.
  std::optional<XmlNode> FirstChildElement() const;
  std::optional<XmlNode> NextSiblingElement() const;
  // The name without its prefix, and the namespace it is in (empty for none).
  std::string_view LocalName() const;
  std::string_view NamespaceUri() const;
  // The value of an attribute in no namespace, or in `namespaceUri`; empty when absent.
  std::string Attribute(const char* name, const char* namespaceUri = nullptr) const;
  // `reference` made absolute: against the xml:base of this element and its ancestors, then
  // against `documentAddress` (where the document came from; may be empty), escaped as
  // EncodeForUri does. An absolute reference, or one that cannot be resolved, comes back
  // unchanged.
  std::string ResolveReference(std::string reference, std::string_view documentAddress) const;
  // Whether the recovering parse had to repair something inside this element (only
  // documents from ParseLenient have such elements).
  bool IsDamaged() const;

  _xmlNode* Raw() const { return node_; }

 private:
  _xmlNode* node_;
};

// A parsed XML document. Parsing never touches the network or external entities.
class XmlDocument {
 public:
  ~XmlDocument();
  XmlDocument(const XmlDocument&) = delete;
  XmlDocument& operator=(const XmlDocument&) = delete;

  // Parses bytes strictly. A byte-order mark decides the encoding; without one the declared
  // encoding is honoured (gb2312 and gbk read as GB18030); `httpCharset` applies only when
  // the document declares none. Null on any failure.
  static std::unique_ptr<XmlDocument> Parse(std::string_view bytes,
                                            std::string_view httpCharset = {});

  // Parses a document from the web as a tolerant reader must. A byte-order mark decides the
  // encoding over everything, then the declaration, then `httpCharset`, then UTF-8. A document
  // the strict parse refuses (undecodable bytes, HTML named references such as "&nbsp;", a
  // bare "&" or "<", forbidden characters, broken markup) is decoded with replacement
  // characters, repaired where the repair is certain and parsed again in recovery mode;
  // elements around what recovery had to guess are marked damaged. Null only when not even
  // recovery gives a root element.
  static std::unique_ptr<XmlDocument> ParseLenient(std::string_view bytes,
                                                   std::string_view httpCharset = {});

  std::optional<XmlNode> Root() const;
  std::optional<XmlNode> SelectSingle(const std::string& path) const;
  std::vector<XmlNode> SelectAll(const std::string& path) const;

  _xmlDoc* Raw() const { return doc_; }

 private:
  explicit XmlDocument(_xmlDoc* doc) : doc_(doc) {}
  _xmlDoc* doc_;
};

// A URI reference with what a browser escapes before sending it escaped: controls, space,
// '"', '<', '>', '`' and every byte of a non-ASCII character (UTF-8) become %XX.
std::string EncodeForUri(std::string_view reference);

// `reference` made absolute against the absolute address `base`, escaped as EncodeForUri
// does; an absolute reference comes back as it is. Nothing when no absolute address results.
std::optional<std::string> ResolveUri(std::string_view reference, std::string_view base);

// Maps a declared or HTTP charset to the name the decoder should use (gb2312 -> GB18030).
std::string NormaliseCharset(std::string_view charset);

// The encoding named in the XML declaration at the start of the bytes (after a UTF-8
// byte-order mark or white space), if any.
std::string DeclaredXmlEncoding(std::string_view bytes);

}  // namespace lumarine
