#include "subject_page.h"

#include <cstring>

#include "platform/html_sanitizer.h"
#include "platform/html_text.h"
#include "platform/text_codec.h"
#include "subjects/subject_url_template.h"

namespace lumarine {
namespace {

constexpr std::string_view kBlogSearch =
    "http://blogsearch.baidu.com/s?word=%s&tn=baidublogrss&bsm=0&rn=10";

constexpr std::string_view kPageHead =
    "<style>.channelTitle {font-family: \"黑体\", Helvetica, sans-serif;font-size: 15pt;color: "
    "#FFFFFF;}.channelDescription {font-family: Verdana, Arial, Helvetica, sans-serif;font-size: "
    "7pt;color: #ddf1d8;}.itemTitle {font-size:15px;font-family: \"宋体\";text-decoration:none;"
    "background-color: #E7E3E7;color: #3366ED;}.itemTitle:hover { color:#003366; }"
    ".itemDescription {font-family: Verdana, Arial, Helvetica, sans-serif;font-size: 12px;}"
    "\t\t</style>"
    "<body>"
    "<table width=\"680\" border=\"0\" align=\"center\" cellpadding=\"1\" cellspacing=\"0\" "
    "bgcolor=\"#003399\"><tr><td>"
    "<table width=\"680\" border=\"0\" cellpadding=\"5\" cellspacing=\"0\" bgcolor=\"#FFFFFF\">"
    "<tr><td bgcolor=\"#4F4F4F\" align=center><a href=\"#\" class=\"channelTitle\">";

constexpr std::string_view kPageAfterTitle =
    "</a></td></tr><tr><td class=\"channelDescription\"></td></tr></table></td></tr></table>"
    "<br><br>"
    "<table width=\"680\" border=\"0\" align=\"center\" cellpadding=\"1\" cellspacing=\"0\" "
    "bgcolor=\"#A3A3A3\">"
    "<tr><td><table width=\"680\" border=\"0\" cellpadding=\"5\" cellspacing=\"0\" "
    "bgcolor=\"#FFFFFF\">";

constexpr std::string_view kPageTail = "</table></td></tr></table>";

}  // namespace

std::string BuildSubjectPage(std::string_view title, const std::vector<SubjectFeedItem>& items,
                             std::string_view feedAddress, std::string_view failure) {
  // The encoding first, as a browser looks for it at the start; then the subject, which the
  // window and the browser's tab show instead of the file's name.
  std::string page = "<html><meta charset=\"gb18030\"><title>" + HtmlEscape(title) + "</title>";
  page += kPageHead;
  page += HtmlEscape(title);
  page += kPageAfterTitle;
  if (items.empty()) {
    page += "<tr><td class=\"itemDescription\">没有找到新闻";
    if (!failure.empty()) page += "：" + HtmlEscape(failure);
    page += "</td></tr>";
  }
  for (const SubjectFeedItem& item : items) {
    page += "<tr><td class=\"itemTitle\"><a ";
    if (IsClickableAddress(item.link)) page += "href=\"" + HtmlEscape(item.link) + "\" ";
    page += "target=\"_blank\" class=\"itemTitle\">";
    page += SanitizeTitleHtml(item.title);
    page += "</a></td></tr><tr><td class=\"itemDescription\">";
    page += SanitizeHtmlFragment(item.description, item.link, feedAddress);
    page += "</td></tr>";
  }
  page += kPageTail;
  return page;
}

std::string BlogCommentUrl(std::string_view title) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  // Bytes a query value cannot carry as they are, or that would end the value early.
  static constexpr const char* kEscaped = " \"#%&+<>\\^`{|}";
  std::string word;
  for (unsigned char c : Utf8ToGb18030(title)) {
    if (c < 0x21 || c >= 0x7F || std::strchr(kEscaped, c)) {
      word += '%';
      word += kHex[c >> 4];
      word += kHex[c & 0x0F];
    } else {
      word += static_cast<char>(c);
    }
  }
  return SubjectUrlTemplate::Format(kBlogSearch, word);
}

}  // namespace lumarine
