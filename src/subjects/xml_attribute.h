#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/xml_document.h"

namespace lumarine {

// Attribute helpers usable on any node of a libxml2 document. Names and values are UTF-8;
// values are plain text (no entity parsing).

// The attribute's text, or empty when the node is no element or has no such attribute.
std::string XmlGetAttribute(XmlNode node, std::string_view name);

// Sets an existing attribute; a missing one is created only when `create` is true.
bool XmlSetAttribute(XmlNode node, std::string_view name, std::string_view value, bool create);
bool XmlSetIntAttribute(XmlNode node, std::string_view name, long long number, bool create);

struct XmlNodeDeleter {
  void operator()(_xmlNode* node) const;
};
// An element not yet attached to a tree; freed unless the caller attaches and releases it.
using DetachedXmlElement = std::unique_ptr<_xmlNode, XmlNodeDeleter>;

// A detached element of the document `node` belongs to (or is); null on failure. A
// non-empty namespace becomes the element's default namespace.
DetachedXmlElement XmlCreateElement(XmlNode node, std::string_view name,
                                    std::string_view namespaceUri);

}  // namespace lumarine
