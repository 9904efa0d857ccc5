#pragma once

#include <string>
#include <string_view>

struct _xmlDoc;
struct _xmlNode;
struct _xmlNs;

namespace lumarine {

// What an export did. On failure the target file was left as it was and `error` says why.
struct OpmlExportResult {
  bool ok = false;
  int outlines = 0;
  std::string error;
};

// Builds one OPML 2.0 document (UTF-8) and writes it atomically. Every text passes through
// the XML serialiser, so quotes, "<" and "&" in titles and addresses are escaped, and text
// XML cannot hold is dropped. Attributes of our own live in the `lumarine` namespace.
class OpmlWriter {
 public:
  static constexpr std::string_view kNamespace = "urn:lumarine:opml:1";

  explicit OpmlWriter(std::string_view title);
  ~OpmlWriter();
  OpmlWriter(const OpmlWriter&) = delete;
  OpmlWriter& operator=(const OpmlWriter&) = delete;

  // A new outline with this text (and the same title) as the last child of `parent`, or of
  // the body when `parent` is null. Valid while the writer lives.
  _xmlNode* AddOutline(_xmlNode* parent, std::string_view text);
  void SetAttribute(_xmlNode* outline, std::string_view name, std::string_view value);
  // An attribute in our own namespace (lumarine:name).
  void SetOwnAttribute(_xmlNode* outline, std::string_view name, std::string_view value);
  int OutlineCount() const { return outlines_; }

  // Replaces the file at `path` with the document. An existing file that may not be
  // written is refused rather than replaced; a link is followed to the file it names.
  OpmlExportResult Save(const std::string& path) const;

 private:
  _xmlDoc* doc_;
  _xmlNode* body_;
  _xmlNs* ns_;  // the lumarine namespace, declared on the root
  int outlines_ = 0;
};

}  // namespace lumarine
