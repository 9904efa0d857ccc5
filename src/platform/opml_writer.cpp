#include "platform/opml_writer.h"

#include <libxml/tree.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>

#include "platform/file_io.h"
#include "platform/xml_safe_text.h"

namespace lumarine {
namespace {

const xmlChar* Chars(const std::string& text) {
  return reinterpret_cast<const xmlChar*>(text.c_str());
}

// RFC 822 time, as OPML 2.0 dates are written.
std::string Rfc822Now() {
  const std::time_t now = std::time(nullptr);
  std::tm utc{};
  gmtime_r(&now, &utc);
  static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  char text[64];
  std::snprintf(text, sizeof text, "%s, %02d %s %04d %02d:%02d:%02d GMT", kDays[utc.tm_wday],
                utc.tm_mday, kMonths[utc.tm_mon], utc.tm_year + 1900, utc.tm_hour, utc.tm_min,
                utc.tm_sec);
  return text;
}

}  // namespace

OpmlWriter::OpmlWriter(std::string_view title) : doc_(xmlNewDoc(BAD_CAST "1.0")) {
  xmlNode* root = xmlNewNode(nullptr, BAD_CAST "opml");
  xmlDocSetRootElement(doc_, root);
  xmlNewProp(root, BAD_CAST "version", BAD_CAST "2.0");
  ns_ = xmlNewNs(root, Chars(std::string(kNamespace)), BAD_CAST "lumarine");
  xmlNode* head = xmlNewChild(root, nullptr, BAD_CAST "head", nullptr);
  xmlNewTextChild(head, nullptr, BAD_CAST "title", Chars(XmlSafeText(title)));
  xmlNewTextChild(head, nullptr, BAD_CAST "dateCreated", Chars(Rfc822Now()));
  body_ = xmlNewChild(root, nullptr, BAD_CAST "body", nullptr);
}

OpmlWriter::~OpmlWriter() { xmlFreeDoc(doc_); }

xmlNode* OpmlWriter::AddOutline(xmlNode* parent, std::string_view text) {
  xmlNode* outline = xmlNewChild(parent ? parent : body_, nullptr, BAD_CAST "outline", nullptr);
  SetAttribute(outline, "text", text);
  SetAttribute(outline, "title", text);
  ++outlines_;
  return outline;
}

void OpmlWriter::SetAttribute(xmlNode* outline, std::string_view name, std::string_view value) {
  // xmlSetProp takes the value as plain text and escapes it when the document is written.
  xmlSetProp(outline, Chars(std::string(name)), Chars(XmlSafeText(value)));
}

void OpmlWriter::SetOwnAttribute(xmlNode* outline, std::string_view name, std::string_view value) {
  xmlSetNsProp(outline, ns_, Chars(std::string(name)), Chars(XmlSafeText(value)));
}

OpmlExportResult OpmlWriter::Save(const std::string& path) const {
  OpmlExportResult result;
  // Replacing by rename would ignore the file's own protection.
  if (access(path.c_str(), W_OK) != 0 && errno != ENOENT) {
    result.error = "文件不可写";
    return result;
  }
  xmlChar* bytes = nullptr;
  int size = 0;
  xmlDocDumpFormatMemoryEnc(doc_, &bytes, &size, "UTF-8", 1);
  if (!bytes) {
    result.error = "无法生成文件";
    return result;
  }
  const std::string_view text(reinterpret_cast<const char*>(bytes), static_cast<size_t>(size));
  const bool written = ReplaceFileContents(path, text);
  xmlFree(bytes);
  if (!written) {
    result.error = "无法写入文件";
    return result;
  }
  result.ok = true;
  result.outlines = outlines_;
  return result;
}

}  // namespace lumarine
