#include "platform/html_text.h"
#include "platform/text_codec.h"

#include <gtest/gtest.h>

namespace lumarine {
namespace {

TEST(HtmlEscape, TurnsMarkupAndQuotesIntoReferences) {
  EXPECT_EQ(HtmlEscape("<b>\"A&B\"</b> 'x'"), "&lt;b&gt;&quot;A&amp;B&quot;&lt;/b&gt; &#39;x&#39;");
  EXPECT_EQ(HtmlEscape("科技新闻"), "科技新闻");
}

TEST(ScriptStringEscape, LeavesNothingThatEndsAStringOrATag) {
  const std::string escaped = ScriptStringEscape("a'b\"c\\d\ne</script>&\u2028中");
  EXPECT_EQ(escaped, "a\\x27b\\x22c\\x5Cd\\x0Ae\\x3C/script\\x3E\\x26\\u2028中");
}

TEST(PercentEncoding, RoundTripsAnyTextThroughOneDecoding) {
  for (const std::string text : {"科技", "a b", "100%", "x@y#z?w", "'\");alert(1)//", "~-_."}) {
    const std::string encoded = PercentEncode(text);
    EXPECT_EQ(encoded.find_first_not_of(
                  "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_.~%"),
              std::string::npos)
        << encoded;
    EXPECT_EQ(PercentDecode(encoded), text);
  }
  EXPECT_EQ(PercentEncode("科"), "%E7%A7%91");
}

TEST(IsWebAddress, AcceptsOnlyHttpHttpsAndFtp) {
  for (const char* yes : {"http://a", "HTTPS://a/b", "ftp://f", "Http://x"})
    EXPECT_TRUE(IsWebAddress(yes)) << yes;
  for (const char* no : {"javascript:alert(1)", "app:1006@x", "file:///etc/passwd", "",
                         "http:", " http://a", "data:text/html,x", "httpx://a"})
    EXPECT_FALSE(IsWebAddress(no)) << no;
}

}  // namespace
}  // namespace lumarine
