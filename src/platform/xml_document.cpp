#include "platform/xml_document.h"

#include <libxml/entities.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/uri.h>
#include <libxml/xmlerror.h>
#include <libxml/xmlversion.h>
#include <libxml/xpath.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <unordered_map>

#include "platform/ascii_text.h"
#include "platform/html_text.h"
#include "platform/markup_repair.h"
#include "platform/text_codec.h"

namespace lumarine {
namespace {

constexpr size_t kMaxDocumentBytes = 16 * 1024 * 1024;
// Bound on the text an expanded entity may produce, so that nested entity definitions
// cannot blow up memory when a node's text is read.
constexpr size_t kMaxTextBytes = 4 * 1024 * 1024;
constexpr int kMaxEntityDepth = 8;

bool IsSimpleName(const std::string& path) {
  if (path.empty() || !(std::isalpha(static_cast<unsigned char>(path[0])) || path[0] == '_'))
    return false;
  return std::all_of(path.begin(), path.end(), [](unsigned char c) {
    return std::isalnum(c) || c == '_' || c == '-' || c == '.';
  });
}

struct XPathContextDeleter {
  void operator()(xmlXPathContext* context) const { xmlXPathFreeContext(context); }
};
struct XPathObjectDeleter {
  void operator()(xmlXPathObject* object) const { xmlXPathFreeObject(object); }
};

std::vector<XmlNode> Evaluate(xmlDoc* doc, xmlNode* context, const std::string& path,
                              size_t limit) {
  std::vector<XmlNode> nodes;
  // A bare element name selects children: walk them instead of compiling XPath.
  if (context && IsSimpleName(path)) {
    for (xmlNode* child = context->children; child && nodes.size() < limit; child = child->next)
      if (child->type == XML_ELEMENT_NODE && child->ns == nullptr &&
          path == reinterpret_cast<const char*>(child->name))
        nodes.emplace_back(child);
    return nodes;
  }
  std::unique_ptr<xmlXPathContext, XPathContextDeleter> xpath(xmlXPathNewContext(doc));
  if (!xpath) return nodes;
  if (context) xpath->node = context;
  std::unique_ptr<xmlXPathObject, XPathObjectDeleter> result(
      xmlXPathEvalExpression(reinterpret_cast<const xmlChar*>(path.c_str()), xpath.get()));
  if (!result || result->type != XPATH_NODESET || !result->nodesetval) return nodes;
  const int count = result->nodesetval->nodeNr;
  for (int i = 0; i < count && nodes.size() < limit; ++i)
    if (result->nodesetval->nodeTab[i]) nodes.emplace_back(result->nodesetval->nodeTab[i]);
  return nodes;
}

void AppendText(const xmlNode* node, std::string& out, int depth) {
  for (const xmlNode* child = node; child && out.size() < kMaxTextBytes; child = child->next) {
    switch (child->type) {
      case XML_TEXT_NODE:
      case XML_CDATA_SECTION_NODE:
        if (child->content) out += reinterpret_cast<const char*>(child->content);
        break;
      case XML_ELEMENT_NODE:
        AppendText(child->children, out, depth);
        break;
      case XML_ENTITY_REF_NODE: {
        // Only internal entities carry text; external ones are never loaded.
        const auto* entity = reinterpret_cast<const xmlEntity*>(child->children);
        if (entity && entity->etype == XML_INTERNAL_GENERAL_ENTITY && depth < kMaxEntityDepth)
          AppendText(entity->children, out, depth + 1);
        break;
      }
      default:
        break;
    }
  }
  if (out.size() > kMaxTextBytes) out.resize(kMaxTextBytes);
}

bool IsXmlSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The address of this byte marks an element that recovery had to repair (xmlNode::_private
// is the application's own field).
const char kDamaged = 0;

// Bytes ready for libxml2: the text without a byte-order mark and the encoding to read it in.
// UTF-16 and UTF-32 documents are decoded here already, so that libxml2 only ever meets
// encodings whose declaration it could read itself.
struct Source {
  std::string decoded;
  std::string_view text;
  std::string charset;
};

Source PrepareSource(std::string_view bytes, std::string_view httpCharset) {
  Source source;
  const auto starts = [&](std::string_view prefix) { return bytes.starts_with(prefix); };
  std::string wide;  // a UTF-16/32 encoding told by a mark or by the first characters
  size_t mark = 0;
  if (starts(std::string_view("\x00\x00\xFE\xFF", 4)))
    wide = "UTF-32BE", mark = 4;
  else if (starts(std::string_view("\xFF\xFE\x00\x00", 4)))
    wide = "UTF-32LE", mark = 4;
  else if (starts("\xFE\xFF"))
    wide = "UTF-16BE", mark = 2;
  else if (starts("\xFF\xFE"))
    wide = "UTF-16LE", mark = 2;
  else if (starts(std::string_view("\x00\x00\x00<", 4)))
    wide = "UTF-32BE";
  else if (starts(std::string_view("<\x00\x00\x00", 4)))
    wide = "UTF-32LE";
  else if (starts(std::string_view("\x00<", 2)))
    wide = "UTF-16BE";
  else if (starts(std::string_view("<\x00", 2)))
    wide = "UTF-16LE";
  if (!wide.empty()) {
    source.decoded = DecodeToUtf8(bytes.substr(mark), wide);
    bytes = source.decoded;
    source.charset = "UTF-8";
  } else if (starts("\xEF\xBB\xBF")) {
    bytes.remove_prefix(3);
    source.charset = "UTF-8";
  }
  // White space before the declaration (a common server fault) would make it illegal.
  size_t lead = 0;
  while (lead < bytes.size() && IsXmlSpace(bytes[lead])) ++lead;
  if (lead > 0 && bytes.substr(lead).starts_with("<?xml")) bytes.remove_prefix(lead);
  if (source.charset.empty()) source.charset = DeclaredXmlEncoding(bytes);
  if (source.charset.empty()) source.charset = httpCharset;
  if (source.charset.empty()) source.charset = "UTF-8";
  source.text = bytes;
  return source;
}

// The name libxml2 opens a decoder by: GB labels as GB18030, and nothing but a plain label.
// Empty for UTF-8, libxml2's own encoding, which then needs no decoder pass at all.
std::string DecoderName(const std::string& charset) {
  if (IsGbCharset(charset)) return "GB18030";
  if (EqualsNoCase(charset, "utf-8") || EqualsNoCase(charset, "utf8")) return {};
  const bool plain =
      charset.size() <= 40 && std::all_of(charset.begin(), charset.end(), [](unsigned char c) {
        return std::isalnum(c) || c == '-' || c == '_' || c == '.' || c == ':';
      });
  return plain ? charset : std::string();
}

struct ParserContextDeleter {
  void operator()(xmlParserCtxt* context) const { xmlFreeParserCtxt(context); }
};

// What a parse reported, and whether it marks the open elements of every error.
struct ParseReport {
  bool markDamage = false;
  bool sawError = false;
};

#if LIBXML_VERSION >= 21200
void OnParseError(void* user, const xmlError* error) {
#else
void OnParseError(void* user, xmlErrorPtr error) {
#endif
  auto* context = static_cast<xmlParserCtxt*>(user);
  auto* report = context ? static_cast<ParseReport*>(context->_private) : nullptr;
  // Namespace slips (an undeclared prefix) and warnings lose no text.
  if (!report || !error || error->domain != XML_FROM_PARSER || error->level < XML_ERR_ERROR) return;
  report->sawError = true;
  if (!report->markDamage) return;
  for (xmlNode* node = context->node; node; node = node->parent)
    if (node->type == XML_ELEMENT_NODE) node->_private = const_cast<char*>(&kDamaged);
}

// Options shared by every parse: no DTD loading, no entity substitution, no network, no
// output on stderr. The given encoding wins over the declaration.
constexpr int kParseOptions =
    XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_IGNORE_ENC;

void IgnoreMessage(void*, const char*, ...) {}

// libxml2 prints decoder failures through its generic handler (per thread), whatever the
// parse options say; silence it for the parse, since a bad feed is no news for stderr.
class QuietGenericErrors {
 public:
  QuietGenericErrors() : handler_(xmlGenericError), context_(xmlGenericErrorContext) {
    xmlSetGenericErrorFunc(nullptr, IgnoreMessage);
  }
  ~QuietGenericErrors() { xmlSetGenericErrorFunc(context_, handler_); }
  QuietGenericErrors(const QuietGenericErrors&) = delete;
  QuietGenericErrors& operator=(const QuietGenericErrors&) = delete;

 private:
  xmlGenericErrorFunc handler_;
  void* context_;
};

xmlDoc* ReadText(std::string_view text, const std::string& encoding, bool recover,
                 ParseReport& report) {
  if (text.empty() || text.size() > static_cast<size_t>(INT32_MAX)) return nullptr;
  // Workers parse at the same time; libxml2 wants its global set-up done once first.
  static const bool initialised = (xmlInitParser(), true);
  (void)initialised;
  std::unique_ptr<xmlParserCtxt, ParserContextDeleter> context(xmlNewParserCtxt());
  if (!context) return nullptr;
  context->sax->serror = OnParseError;
  xmlDoc* doc = nullptr;
  report.markDamage = recover;
  const int options = kParseOptions | (recover ? XML_PARSE_RECOVER : 0);
  context->_private = &report;
  const QuietGenericErrors quiet;
  doc = xmlCtxtReadMemory(context.get(), text.data(), static_cast<int>(text.size()), nullptr,
                          encoding.empty() ? nullptr : encoding.c_str(), options);
  context->_private = nullptr;
  return doc;
}

// Closes what a writer left open, where the end tag of an element further out shows it: the
// unclosed elements end before their first child element (so `<itunes:category text="x">`
// without an end tag holds nothing, and the item's own elements stay the item's), or where the
// outer element ends when they hold text only. Without this the parser's recovery nests every
// later item inside the unclosed one. An end tag that closes nothing open is left for the
// recovering parse (which closes the innermost element, as done here too, and marks it
// damaged). `text` comes from MarkupRepair: every "<" starts markup.
std::string CloseUnclosedElements(const std::string& text) {
  struct Open {
    std::string name;
    size_t firstChild;  // where its first child element starts in `text`, or npos
  };
  std::vector<Open> open;
  std::unordered_map<std::string, int> openCount;  // how many of each name are open
  // End tags to insert and where, in the order of their places (see below).
  std::vector<std::pair<size_t, std::string>> closes;
  size_t i = 0;
  const auto skipPast = [&](std::string_view close) {
    const size_t end = text.find(close, i);
    i = end == std::string::npos ? text.size() : end + close.size();
  };
  while ((i = text.find('<', i)) != std::string::npos) {
    const std::string_view rest = std::string_view(text).substr(i);
    if (rest.starts_with("<!--")) {
      skipPast("-->");
    } else if (rest.starts_with("<![CDATA[")) {
      skipPast("]]>");
    } else if (rest.starts_with("<?")) {
      skipPast("?>");
    } else if (rest.starts_with("<!")) {
      // The document type declaration: its internal subset holds ">" of its own.
      const size_t end = text.find('>', i);
      const size_t subset =
          std::string_view(text).substr(i, end == std::string::npos ? end : end - i).find('[');
      if (subset != std::string::npos) {
        i += subset;
        skipPast("]");
      }
      skipPast(">");
    } else {
      const size_t tagStart = i;
      const bool closing = rest.size() > 1 && rest[1] == '/';
      size_t nameEnd = i + (closing ? 2 : 1);
      while (nameEnd < text.size() && IsXmlNameByte(static_cast<unsigned char>(text[nameEnd])))
        ++nameEnd;
      const size_t nameStart = tagStart + (closing ? 2 : 1);
      std::string name = text.substr(nameStart, nameEnd - nameStart);
      // To the ">" outside quoted attribute values.
      size_t k = nameEnd;
      char quote = 0;
      for (; k < text.size(); ++k) {
        if (quote) {
          if (text[k] == quote) quote = 0;
        } else if (text[k] == '"' || text[k] == '\'') {
          quote = text[k];
        } else if (text[k] == '>') {
          break;
        }
      }
      if (k >= text.size()) break;  // a cut tag: the recovering parse sees to it
      i = k + 1;
      if (name.empty()) continue;
      if (!closing) {
        if (!open.empty() && open.back().firstChild == std::string::npos)
          open.back().firstChild = tagStart;
        if (text[k - 1] != '/') {
          ++openCount[name];
          open.push_back({std::move(name), std::string::npos});
        }
        continue;
      }
      const auto pop = [&] {
        --openCount[open.back().name];
        open.pop_back();
      };
      const auto count = openCount.find(name);
      if (count == openCount.end() || count->second == 0) {
        if (!open.empty()) pop();
        continue;
      }
      // Each unclosed element ends before its first child element, or here when it has
      // none (only the innermost can have none).
      while (open.back().name != name) {
        const Open& element = open.back();
        const std::string endTag = "</" + element.name + ">";
        const size_t at = element.firstChild == std::string::npos ? tagStart : element.firstChild;
        closes.emplace_back(at, endTag);
        pop();
      }
      pop();
    }
  }
  if (closes.empty()) return text;
  // No two share a place, and each event's places lie after those of the open elements
  // still to close: sorted, they are copied in one pass.
  std::sort(closes.begin(), closes.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  std::string out;
  out.reserve(text.size() + closes.size() * 16);
  size_t copied = 0;
  for (const auto& [at, endTag] : closes) {
    out.append(text, copied, at - copied);
    out += endTag;
    copied = at;
  }
  out.append(text, copied);
  return out;
}

}  // namespace

std::optional<XmlNode> XmlNode::SelectSingle(const std::string& path) const {
  auto nodes = Evaluate(node_->doc, node_, path, 1);
  if (nodes.empty()) return std::nullopt;
  return nodes.front();
}

std::vector<XmlNode> XmlNode::SelectAll(const std::string& path) const {
  return Evaluate(node_->doc, node_, path, SIZE_MAX);
}

std::string XmlNode::Text() const {
  const auto trimmed = [](std::string_view text) {
    while (!text.empty() && IsXmlSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsXmlSpace(text.back())) text.remove_suffix(1);
    return text;
  };
  const auto content = [](const xmlNode* node) {
    return node->content ? std::string_view(reinterpret_cast<const char*>(node->content))
                         : std::string_view();
  };
  if (node_->type != XML_ELEMENT_NODE) return std::string(trimmed(content(node_)));
  const xmlNode* child = node_->children;
  if (!child) return {};
  // Most elements of a feed hold one text node: copy it once, trimmed.
  if (!child->next && (child->type == XML_TEXT_NODE || child->type == XML_CDATA_SECTION_NODE))
    return std::string(trimmed(content(child).substr(0, kMaxTextBytes)));
  std::string text;
  AppendText(child, text, 0);
  const std::string_view kept = trimmed(text);
  if (kept.size() == text.size()) return text;
  return std::string(kept);
}

namespace {

void AppendMarkup(const xmlNode* node, std::string& out, int depth) {
  for (const xmlNode* child = node; child && out.size() < kMaxTextBytes; child = child->next) {
    switch (child->type) {
      case XML_TEXT_NODE:
      case XML_CDATA_SECTION_NODE:
        if (child->content)
          AppendMarkupEscaped(reinterpret_cast<const char*>(child->content), false, out);
        break;
      case XML_ENTITY_REF_NODE: {
        const auto* entity = reinterpret_cast<const xmlEntity*>(child->children);
        std::string text;
        if (entity && entity->etype == XML_INTERNAL_GENERAL_ENTITY)
          AppendText(entity->children, text, 1);
        AppendMarkupEscaped(text, false, out);
        break;
      }
      case XML_ELEMENT_NODE: {
        const std::string_view name = reinterpret_cast<const char*>(child->name);
        out += '<';
        out += name;
        for (const xmlAttr* attribute = child->properties; attribute; attribute = attribute->next) {
          out += ' ';
          out += reinterpret_cast<const char*>(attribute->name);
          out += "=\"";
          std::string value;
          AppendText(attribute->children, value, 0);
          AppendMarkupEscaped(value, true, out);
          out += '"';
        }
        out += '>';
        if (depth < 256) AppendMarkup(child->children, out, depth + 1);
        out += "</";
        out += name;
        out += '>';
        break;
      }
      default:
        break;
    }
  }
}

}  // namespace

std::string XmlNode::InnerMarkup() const {
  std::string markup;
  AppendMarkup(node_->children, markup, 0);
  if (markup.size() > kMaxTextBytes) markup.resize(kMaxTextBytes);
  return markup;
}

std::string XmlNode::Name() const {
  return node_->name ? reinterpret_cast<const char*>(node_->name) : "";
}

std::optional<XmlNode> XmlNode::FirstChildElement() const {
  for (xmlNode* child = node_->children; child; child = child->next)
    if (child->type == XML_ELEMENT_NODE) return XmlNode(child);
  return std::nullopt;
}

std::optional<XmlNode> XmlNode::NextSiblingElement() const {
  for (xmlNode* sibling = node_->next; sibling; sibling = sibling->next)
    if (sibling->type == XML_ELEMENT_NODE) return XmlNode(sibling);
  return std::nullopt;
}

std::string_view XmlNode::LocalName() const {
  return node_->name ? reinterpret_cast<const char*>(node_->name) : "";
}

std::string_view XmlNode::NamespaceUri() const {
  return node_->ns && node_->ns->href ? reinterpret_cast<const char*>(node_->ns->href) : "";
}

namespace {

// The text of a string libxml2 allocated for the caller, which is freed; nothing for null.
std::optional<std::string> TakeXmlString(xmlChar* value) {
  if (!value) return std::nullopt;
  std::string text(reinterpret_cast<const char*>(value));
  xmlFree(value);
  return text;
}

}  // namespace

std::string XmlNode::Attribute(const char* name, const char* namespaceUri) const {
  return TakeXmlString(xmlGetNsProp(node_, reinterpret_cast<const xmlChar*>(name),
                                    reinterpret_cast<const xmlChar*>(namespaceUri)))
      .value_or(std::string());
}

namespace {

// RFC 3986: ALPHA *( ALPHA / DIGIT / "+" / "-" / "." ) ":".
bool HasScheme(std::string_view reference) {
  if (reference.empty() || !std::isalpha(static_cast<unsigned char>(reference[0]))) return false;
  for (const char c : reference.substr(1)) {
    if (c == ':') return true;
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.')
      return false;
  }
  return false;
}

// `reference` against `base`, or nothing when libxml2 cannot build the URI.
std::optional<std::string> BuildUri(const std::string& reference, const std::string& base) {
  return TakeXmlString(xmlBuildURI(reinterpret_cast<const xmlChar*>(reference.c_str()),
                                   reinterpret_cast<const xmlChar*>(base.c_str())));
}

}  // namespace

std::string XmlNode::ResolveReference(std::string reference,
                                      std::string_view documentAddress) const {
  // Most links are absolute: they stay byte for byte what the feed wrote.
  if (reference.empty() || HasScheme(reference)) return reference;
  const std::string encoded = EncodeForUri(reference);
  std::string resolved = encoded;
  if (const auto base = TakeXmlString(xmlNodeGetBase(node_->doc, node_)))
    resolved = BuildUri(resolved, *base).value_or(resolved);
  if (!HasScheme(resolved) && HasScheme(documentAddress))
    resolved = BuildUri(resolved, std::string(documentAddress)).value_or(resolved);
  return resolved == encoded ? reference : resolved;
}

std::string EncodeForUri(std::string_view reference) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(reference.size());
  for (const char ch : reference) {
    const auto c = static_cast<unsigned char>(ch);
    if (c <= 0x20 || c >= 0x7F || c == '"' || c == '<' || c == '>' || c == '`') {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 0x0F];
    } else {
      out += ch;
    }
  }
  return out;
}

std::optional<std::string> ResolveUri(std::string_view reference, std::string_view base) {
  if (HasScheme(reference)) return std::string(reference);
  if (!HasScheme(base)) return std::nullopt;
  auto resolved = BuildUri(EncodeForUri(reference), std::string(base));
  if (!resolved || !HasScheme(*resolved)) return std::nullopt;
  return resolved;
}

bool XmlNode::IsDamaged() const { return node_->_private == &kDamaged; }

XmlDocument::~XmlDocument() { xmlFreeDoc(doc_); }

std::string NormaliseCharset(std::string_view charset) {
  const std::string lower = AsciiLower(charset);
  if (lower == "gb2312" || lower == "gbk" || lower == "gb_2312-80" || lower == "x-gbk" ||
      lower == "cp936" || lower == "ms936" || lower == "windows-936" || lower == "euc-cn" ||
      lower == "csgb2312" || lower == "gb18030")
    return "GB18030";
  return std::string(charset);
}

std::string DeclaredXmlEncoding(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  while (!bytes.empty() && IsXmlSpace(bytes.front())) bytes.remove_prefix(1);
  if (!bytes.starts_with("<?xml")) return {};
  const size_t end = bytes.find("?>");
  if (end == std::string_view::npos) return {};
  const std::string_view declaration = bytes.substr(0, end);
  const size_t at = declaration.find("encoding");
  if (at == std::string_view::npos) return {};
  size_t i = at + 8;
  while (i < declaration.size() && (IsXmlSpace(declaration[i]) || declaration[i] == '=')) ++i;
  if (i >= declaration.size() || (declaration[i] != '"' && declaration[i] != '\'')) return {};
  const char quote = declaration[i++];
  const size_t close = declaration.find(quote, i);
  if (close == std::string_view::npos) return {};
  return std::string(declaration.substr(i, close - i));
}

std::unique_ptr<XmlDocument> XmlDocument::Parse(std::string_view bytes,
                                                std::string_view httpCharset) {
  if (bytes.empty() || bytes.size() > kMaxDocumentBytes) return nullptr;
  const Source source = PrepareSource(bytes, httpCharset);
  ParseReport report;
  xmlDoc* doc = ReadText(source.text, DecoderName(source.charset), false, report);
  if (!doc) return nullptr;
  return std::unique_ptr<XmlDocument>(new XmlDocument(doc));
}

std::unique_ptr<XmlDocument> XmlDocument::ParseLenient(std::string_view bytes,
                                                       std::string_view httpCharset) {
  if (bytes.empty() || bytes.size() > kMaxDocumentBytes) return nullptr;
  const Source source = PrepareSource(bytes, httpCharset);
  // Most feeds are clean: the strict parse alone, as libxml2 decodes them.
  ParseReport strict;
  if (xmlDoc* doc = ReadText(source.text, DecoderName(source.charset), false, strict)) {
    if (!strict.sawError) return std::unique_ptr<XmlDocument>(new XmlDocument(doc));
    xmlFreeDoc(doc);  // an undeclared entity lost its text: read it again, repaired
  }
  const std::string repaired = CloseUnclosedElements(
      MarkupRepair(DecodeToUtf8(source.text, source.charset), 3 * kMaxDocumentBytes).Run());
  ParseReport recovered;
  xmlDoc* doc = ReadText(repaired, {}, true, recovered);
  if (!doc) return nullptr;
  auto document = std::unique_ptr<XmlDocument>(new XmlDocument(doc));
  if (!document->Root()) return nullptr;
  return document;
}

std::optional<XmlNode> XmlDocument::Root() const {
  xmlNode* root = xmlDocGetRootElement(doc_);
  if (!root) return std::nullopt;
  return XmlNode(root);
}

std::optional<XmlNode> XmlDocument::SelectSingle(const std::string& path) const {
  auto nodes = Evaluate(doc_, nullptr, path, 1);
  if (nodes.empty()) return std::nullopt;
  return nodes.front();
}

std::vector<XmlNode> XmlDocument::SelectAll(const std::string& path) const {
  return Evaluate(doc_, nullptr, path, SIZE_MAX);
}

}  // namespace lumarine
