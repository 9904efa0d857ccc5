#pragma once

#include <memory>
#include <optional>
#include <stop_token>
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
  std::string Name() const;

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

  // Parses bytes. The declared encoding is honoured (gb2312 and gbk read as GB18030);
  // `httpCharset` applies only when the document declares none. Null on any failure.
  static std::unique_ptr<XmlDocument> Parse(std::string_view bytes,
                                            std::string_view httpCharset = {});

  // Fetches an address (http(s), file:// or a path) with the usual bounds, then parses it.
  static std::unique_ptr<XmlDocument> Load(const std::string& address, std::stop_token stop = {});

  std::optional<XmlNode> Root() const;
  std::optional<XmlNode> SelectSingle(const std::string& path) const;
  std::vector<XmlNode> SelectAll(const std::string& path) const;

  _xmlDoc* Raw() const { return doc_; }

 private:
  explicit XmlDocument(_xmlDoc* doc) : doc_(doc) {}
  _xmlDoc* doc_;
};

// Maps a declared or HTTP charset to the name the decoder should use (gb2312 -> GB18030).
std::string NormaliseCharset(std::string_view charset);

// The encoding named in the XML declaration at the start of the bytes, if any.
std::string DeclaredXmlEncoding(std::string_view bytes);

}  // namespace lumarine
