// Descriptions and titles arrive from anywhere: whatever the sanitiser writes, an HTML parser
// must find in it no script, no event attribute, no style and no address off the web.
#include <libxml/HTMLparser.h>
#include <libxml/tree.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/html_sanitizer.h"

namespace {

constexpr const char* kDescriptionElements[] = {
    "html",  "body",    "p",      "a",      "abbr", "b",          "big",      "blockquote",
    "br",    "caption", "center", "cite",   "code", "col",        "colgroup", "dd",
    "del",   "div",     "dl",     "dt",     "em",   "figcaption", "figure",   "font",
    "h1",    "h2",      "h3",     "h4",     "h5",   "h6",         "hr",       "i",
    "img",   "ins",     "li",     "mark",   "ol",   "pre",        "q",        "s",
    "small", "span",    "strike", "strong", "sub",  "sup",        "table",    "tbody",
    "td",    "tfoot",   "th",     "thead",  "tr",   "tt",         "u",        "ul",
    "wbr"};
constexpr const char* kTitleElements[] = {"html", "body",   "p",   "b",  "em",
                                          "i",    "strong", "sub", "sup"};

template <size_t N>
bool In(const char* const (&names)[N], std::string_view name) {
  for (const char* known : names)
    if (name == known) return true;
  return false;
}

bool StartsNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         strncasecmp(text.data(), prefix.data(), prefix.size()) == 0;
}

void Check(const xmlNode* node, bool title) {
  for (; node; node = node->next) {
    if (node->type != XML_ELEMENT_NODE) continue;
    const std::string_view name = reinterpret_cast<const char*>(node->name);
    if (title ? !In(kTitleElements, name) : !In(kDescriptionElements, name)) std::abort();
    for (const xmlAttr* attribute = node->properties; attribute; attribute = attribute->next) {
      const std::string_view attributeName = reinterpret_cast<const char*>(attribute->name);
      if (title || StartsNoCase(attributeName, "on") || StartsNoCase(attributeName, "style"))
        std::abort();
      if (attributeName != "href" && attributeName != "src") continue;
      xmlChar* raw = xmlNodeListGetString(node->doc, attribute->children, 1);
      const std::string value = raw ? reinterpret_cast<const char*>(raw) : "";
      xmlFree(raw);
      const bool web = StartsNoCase(value, "http://") || StartsNoCase(value, "https://");
      const bool mail = attributeName == "href" && StartsNoCase(value, "mailto:");
      if (!web && !mail) std::abort();
    }
    Check(node->children, title);
  }
}

void Silent(void*, const char*, ...) {}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool quiet = (xmlSetGenericErrorFunc(nullptr, Silent), true);
  (void)quiet;
  if (size == 0) return 0;
  // The first byte picks the output and the addresses relative ones resolve against.
  const bool title = data[0] & 1;
  const std::string_view link = data[0] & 2 ? "http://news.test/a/item.html" : "javascript:x()";
  const std::string_view feed = data[0] & 4 ? "file:///home/u/feed.xml" : "https://feeds.test/f";
  const std::string_view html(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::string out =
      title ? lumarine::SanitizeTitleHtml(html) : lumarine::SanitizeHtmlFragment(html, link, feed);
  if (out.empty()) return 0;
  htmlDocPtr doc = htmlReadMemory(
      out.data(), static_cast<int>(out.size()), nullptr, "UTF-8",
      HTML_PARSE_NONET | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NOIMPLIED);
  if (doc) Check(xmlDocGetRootElement(doc), title);
  xmlFreeDoc(doc);
  return 0;
}
