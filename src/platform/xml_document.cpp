#include "platform/xml_document.h"

#include <libxml/entities.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xpath.h>

#include <algorithm>
#include <cctype>

#include "platform/http_client.h"

namespace lumarine {
namespace {

constexpr size_t kMaxDocumentBytes = 16 * 1024 * 1024;
// Bound on the text an expanded entity may produce, so that nested entity definitions
// cannot blow up memory when a node's text is read.
constexpr size_t kMaxTextBytes = 4 * 1024 * 1024;
constexpr int kMaxEntityDepth = 8;

std::string Lower(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lower;
}

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
  std::string text;
  if (node_->type == XML_ELEMENT_NODE)
    AppendText(node_->children, text, 0);
  else if (node_->content)
    text = reinterpret_cast<const char*>(node_->content);
  size_t begin = 0;
  while (begin < text.size() && IsXmlSpace(text[begin])) ++begin;
  size_t end = text.size();
  while (end > begin && IsXmlSpace(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

std::string XmlNode::Name() const {
  return node_->name ? reinterpret_cast<const char*>(node_->name) : "";
}

XmlDocument::~XmlDocument() { xmlFreeDoc(doc_); }

std::string NormaliseCharset(std::string_view charset) {
  const std::string lower = Lower(charset);
  if (lower == "gb2312" || lower == "gbk" || lower == "gb_2312-80" || lower == "x-gbk" ||
      lower == "cp936" || lower == "ms936" || lower == "windows-936" || lower == "euc-cn" ||
      lower == "csgb2312" || lower == "gb18030")
    return "GB18030";
  return std::string(charset);
}

std::string DeclaredXmlEncoding(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
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
  std::string encoding = DeclaredXmlEncoding(bytes);
  if (encoding.empty() && !bytes.starts_with("\xEF\xBB\xBF")) encoding = httpCharset;
  encoding = NormaliseCharset(encoding);
  // No DTD loading, no entity substitution, no network: a feed can name external
  // entities, but they are never fetched.
  const int options = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;
  xmlDoc* doc = xmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), nullptr,
                              encoding.empty() ? nullptr : encoding.c_str(), options);
  if (!doc) return nullptr;
  return std::unique_ptr<XmlDocument>(new XmlDocument(doc));
}

std::unique_ptr<XmlDocument> XmlDocument::Load(const std::string& address, std::stop_token stop) {
  HttpRequest request;
  request.url = address;
  request.stop = std::move(stop);
  request.maxBodyBytes = kMaxDocumentBytes;
  const HttpResponse response = HttpGet(request);
  if (!response.ok) return nullptr;
  return Parse(response.body, CharsetOfContentType(response.contentType));
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
