#include "subjects/html_sanitizer.h"

#include <gtest/gtest.h>

#include "subjects/subject_page.h"

namespace lumarine {
namespace {

TEST(HtmlSanitizerTest, KeepsHarmlessMarkupAndDropsActiveContent) {
  const struct {
    const char* in;
    const char* out;
  } cases[] = {
      {"plain &amp; text", "plain &amp; text"},
      {"<b>bold</b><br/><p align=center>x</p>", "<b>bold</b><br><p align=\"center\">x</p>"},
      {"a<script>alert(1)</script>b", "ab"},
      {"a<SCRIPT type=x>alert('</b>')</ScRiPt >b", "ab"},
      {"a<script/>alert(1)</script>b", "ab"},
      {"a<style>body{}</style><iframe src=x>in</iframe><object><embed src=y></object>b", "ab"},
      {"<img src=x onerror=alert(1)>", "<img src=\"x\">"},
      {"<img src=\"javascript:alert(1)\" alt='a\"b'>", "<img alt=\"a&quot;b\">"},
      {"<a href=\"&#106;avascript:alert(1)\">x</a>", "<a>x</a>"},
      {"<a href=\" java\tscript:x\">x</a>", "<a>x</a>"},
      {"<a href=VBScript:x>x</a><a href='data:text/html,x'>y</a>", "<a>x</a><a>y</a>"},
      {"<a href=\"http://n.test/?a=1&amp;b=2\" target=_blank style=\"x\">x</a>",
       "<a href=\"http://n.test/?a=1&amp;b=2\" target=\"_blank\">x</a>"},
      {"<a href=\"page.html\">rel</a>", "<a href=\"page.html\">rel</a>"},
      {"<form action=x><input value=1>text</form>", "text"},
      {"<!-- <script>x</script> -->after", "after"},
      {"1 < 2 <3", "1 &lt; 2 &lt;3"},
      {"<div><b>open", "<div><b>open</b></div>"},
      {"</td></tr></table>x", "x"},
      {"<b><i>x</b>y</i>", "<b><i>x</i></b>y"},
      {"text<img src='x", "text"},
      {"<plaintext><b>x", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(SanitizeHtmlFragment(c.in), c.out) << c.in;
}

TEST(HtmlSanitizerTest, OnlyWebAddressesAreClickable) {
  for (const char* good : {"http://a.test/", "HTTPS://a.test", "ftp://f.test/x", " http://a"})
    EXPECT_TRUE(IsClickableAddress(good)) << good;
  for (const char* bad : {"javascript:alert(1)", "app:1000@x", "file:///etc/passwd", "", "a.html",
                          "data:text/html,x"})
    EXPECT_FALSE(IsClickableAddress(bad)) << bad;
}

TEST(SubjectPageTest, EmptyFeedGivesTheHeaderAndSaysNoNewsWasFound) {
  const std::string page = BuildSubjectPage("网球 <&>", {});
  EXPECT_TRUE(page.starts_with(
      "<html><title>网球 &lt;&amp;&gt;</title><style>.channelTitle {font-family: \"黑体\""));
  EXPECT_NE(page.find("font-size: 12px;}\t\t</style><body>"), std::string::npos);
  EXPECT_TRUE(page.ends_with(
      "class=\"channelTitle\">网球 &lt;&amp;&gt;</a></td></tr><tr><td "
      "class=\"channelDescription\"></td></tr></table></td></tr></table><br><br><table "
      "width=\"680\" border=\"0\" align=\"center\" cellpadding=\"1\" cellspacing=\"0\" "
      "bgcolor=\"#A3A3A3\"><tr><td><table width=\"680\" border=\"0\" cellpadding=\"5\" "
      "cellspacing=\"0\" bgcolor=\"#FFFFFF\"><tr><td class=\"itemDescription\">没有找到新闻"
      "</td></tr></table></td></tr></table>"))
      << page;
}

TEST(SubjectPageTest, RowsEscapeTitlesAndQuoteLinks) {
  const std::string page =
      BuildSubjectPage("T", {{"a \"b\" <i>", "http://n.test/a b?x=1&y=2", "<b>d</b>"},
                             {"bad", "javascript:alert(1)", ""}});
  EXPECT_NE(page.find("<tr><td class=\"itemTitle\"><a href=\"http://n.test/a b?x=1&amp;y=2\" "
                      "target=\"_blank\" class=\"itemTitle\">a &quot;b&quot; &lt;i&gt;</a></td>"
                      "</tr><tr><td class=\"itemDescription\"><b>d</b></td></tr>"),
            std::string::npos)
      << page;
  EXPECT_NE(page.find("<a target=\"_blank\" class=\"itemTitle\">bad</a>"), std::string::npos);
  EXPECT_EQ(page.find("javascript"), std::string::npos);
}

TEST(SubjectPageTest, BlogSearchSendsTheTitlesGb2312Bytes) {
  EXPECT_EQ(BlogCommentUrl("网球"),
            "http://blogsearch.baidu.com/s?word=%CD%F8%C7%F2&tn=baidublogrss&bsm=0&rn=10");
  EXPECT_EQ(BlogCommentUrl("a b&c#d"),
            "http://blogsearch.baidu.com/s?word=a%20b%26c%23d&tn=baidublogrss&bsm=0&rn=10");
}

}  // namespace
}  // namespace lumarine
