#include "xml_attribute.h"

#include <libxml/tree.h>

namespace lumarine {
namespace {

const xmlChar* X(const std::string& text) { return reinterpret_cast<const xmlChar*>(text.c_str()); }

}  // namespace

std::string XmlGetAttribute(XmlNode node, std::string_view name) {
  xmlNode* raw = node.Raw();
  if (!raw || raw->type != XML_ELEMENT_NODE) return {};
  xmlChar* value = xmlGetProp(raw, X(std::string(name)));
  if (!value) return {};
  std::string text(reinterpret_cast<const char*>(value));
  xmlFree(value);
  return text;
}

bool XmlSetAttribute(XmlNode node, std::string_view name, std::string_view value, bool create) {
  xmlNode* raw = node.Raw();
  if (!raw || raw->type != XML_ELEMENT_NODE) return false;
  const std::string key(name);
  if (!create && !xmlHasProp(raw, X(key))) return false;
  return xmlSetProp(raw, X(key), X(std::string(value))) != nullptr;
}

bool XmlSetIntAttribute(XmlNode node, std::string_view name, long long number, bool create) {
  return XmlSetAttribute(node, name, std::to_string(number), create);
}

void XmlNodeDeleter::operator()(_xmlNode* node) const { xmlFreeNode(node); }

DetachedXmlElement XmlCreateElement(XmlNode node, std::string_view name,
                                    std::string_view namespaceUri) {
  xmlNode* raw = node.Raw();
  if (!raw || name.empty()) return nullptr;
  xmlDoc* doc = raw->type == XML_DOCUMENT_NODE ? reinterpret_cast<xmlDoc*>(raw) : raw->doc;
  if (!doc) return nullptr;
  DetachedXmlElement element(xmlNewDocNode(doc, nullptr, X(std::string(name)), nullptr));
  if (element && !namespaceUri.empty()) {
    xmlNs* ns = xmlNewNs(element.get(), X(std::string(namespaceUri)), nullptr);
    if (!ns) return nullptr;
    xmlSetNs(element.get(), ns);
  }
  return element;
}

}  // namespace lumarine
