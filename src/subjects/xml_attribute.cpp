#include "xml_attribute.h"

#include <libxml/tree.h>

namespace lumarine {
namespace {

const xmlChar* X(const std::string& text) { return reinterpret_cast<const xmlChar*>(text.c_str()); }

// The attribute written on the element itself without a namespace: the one XPath's @NAME
// selects. libxml2's own lookups also answer for prefixed attributes and DTD defaults, which
// would show items that no path can find again.
xmlAttr* OwnAttribute(xmlNode* element, std::string_view name) {
  for (xmlAttr* attribute = element->properties; attribute; attribute = attribute->next)
    if (!attribute->ns && name == reinterpret_cast<const char*>(attribute->name)) return attribute;
  return nullptr;
}

}  // namespace

std::string XmlGetAttribute(XmlNode node, std::string_view name) {
  xmlNode* raw = node.Raw();
  if (!raw || raw->type != XML_ELEMENT_NODE) return {};
  if (!OwnAttribute(raw, name)) return {};
  // With the attribute on the element, the general lookup finds that one before any default.
  return node.Attribute(std::string(name).c_str());
}

bool XmlSetAttribute(XmlNode node, std::string_view name, std::string_view value, bool create) {
  xmlNode* raw = node.Raw();
  if (!raw || raw->type != XML_ELEMENT_NODE) return false;
  const std::string key(name);
  if (!create && !OwnAttribute(raw, name)) return false;
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
