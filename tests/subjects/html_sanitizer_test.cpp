#include "platform/html_sanitizer.h"

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
      {"<img src=x onerror=alert(1)>", "<img>"},
      {"<img src=\"javascript:alert(1)\" alt='a\"b'>", "<img alt=\"a&quot;b\">"},
      {"<a href=\"&#106;avascript:alert(1)\">x</a>", "<a>x</a>"},
      {"<a href=\" java\tscript:x\">x</a>", "<a>x</a>"},
      {"<a href=VBScript:x>x</a><a href='data:text/html,x'>y</a>", "<a>x</a><a>y</a>"},
      {"<a href=\"http://n.test/?a=1&amp;b=2\" target=_blank style=\"x\">x</a>",
       "<a href=\"http://n.test/?a=1&amp;b=2\" target=\"_blank\">x</a>"},
      {"<a href=\"page.html\">rel</a>", "<a>rel</a>"},
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

struct SanitizeCase {
  const char* in;
  const char* out;
};

// Addresses: made absolute against the item's link, then the feed's; nothing but the web (and
// mail for links) survives, so no description reaches the user's disk.
TEST(HtmlSanitizerTest, AddressesEndUpAbsoluteWebAddressesOrGo) {
  const SanitizeCase cases[] = {
      {"<img src=\"pic.png\">", "<img src=\"http://site.test/news/pic.png\">"},
      {"<a href=\"/a b/新.html?x=1#f\">x</a>",
       "<a href=\"http://site.test/a%20b/%E6%96%B0.html?x=1#f\">x</a>"},
      {"<img src=\"//cdn.test/i.png\">", "<img src=\"https://cdn.test/i.png\">"},
      {"<a href=\"mailto:a@b.test\">m</a><img src=\"mailto:a@b.test\">",
       "<a href=\"mailto:a@b.test\">m</a><img>"},
      {"<img src=\"file:///etc/passwd\"><img src=\"FILE://c:/x\"><a href=\"ftp://f.test/\">f</a>",
       "<img><img><a>f</a>"},
      {"<img src=\" \t/x\n\">", "<img src=\"http://site.test/x\">"},
      {"<img src=\"\\\\host\\share\\x.png\">", "<img src=\"https://host/share/x.png\">"},
      {"<img src=\"&#x66;ile:///x\"><a href=\"java&#x0A;script:x\">j</a>", "<img><a>j</a>"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(SanitizeHtmlFragment(c.in, "http://site.test/news/1.html", "file:///feed.xml"), c.out)
        << c.in;
  // The feed's address when the item's link is no web address; nothing at all without one.
  EXPECT_EQ(SanitizeHtmlFragment("<img src=\"p.png\">", "", "https://f.test/rss/feed"),
            "<img src=\"https://f.test/rss/p.png\">");
  EXPECT_EQ(SanitizeHtmlFragment("<img src=\"p.png\">", "javascript:x", "/home/u/feed.xml"),
            "<img>");
}

// References read as an HTML parser reads them, in text and in attribute values.
TEST(HtmlSanitizerTest, ReferencesDecodeAsHtmlDoes) {
  const SanitizeCase cases[] = {
      {"<a href=\"http://n.test/?id=5&tab=2&copy=3&amp;x=&lang;\">a</a>",
       "<a href=\"http://n.test/?id=5&amp;tab=2&amp;copy=3&amp;x=\u27e8\">a</a>"},
      {"<img alt=\"&copy &copy; &notit; &not\">", "<img alt=\"\u00a9 \u00a9 &amp;notit; \u00ac\">"},
      {"&copy 2026 &notit; &NotEqualTilde; &bogus; &#128; &#0; &#x110000;",
       "\u00a9 2026 \u00acit; \u2242\u0338 &amp;bogus; \u20ac \ufffd \ufffd"},
      {"&lt;script&gt;x&lt;/script&gt; &amp;amp;", "&lt;script&gt;x&lt;/script&gt; &amp;amp;"},
  };
  for (const auto& c : cases) EXPECT_EQ(SanitizeHtmlFragment(c.in), c.out) << c.in;
}

// Table parts stay in a table the fragment opened; elsewhere they go and their text stays.
TEST(HtmlSanitizerTest, ADescriptionStaysInItsCell) {
  const SanitizeCase cases[] = {
      {"</td></tr><tr><td class=\"itemTitle\"><a href=\"http://evil.test/\">Fake</a>",
       "<a href=\"http://evil.test/\">Fake</a>"},
      {"<tr><th>h</th><td>c</td></tr><caption>c</caption><col><colgroup></colgroup>", "hcc"},
      {"<table><caption>t</caption><colgroup><col span=2></colgroup><thead><tr><th>h</th></tr>"
       "</thead><tbody><tr><td>c</td></tr></tbody><tfoot><tr><td>f",
       "<table><caption>t</caption><colgroup><col></colgroup><thead><tr><th>h</th></tr></thead>"
       "<tbody><tr><td>c</td></tr></tbody><tfoot><tr><td>f</td></tr></tfoot></table>"},
      {"<table><tr><td>in</td></tr></table><td>out</td>", "<table><tr><td>in</td></tr></table>out"},
      // Kept for what they mean to a reader.
      {"<del>old</del><ins>new</ins><mark>m</mark><s>s</s><figure><img alt=a>"
       "<figcaption>c</figcaption></figure>",
       "<del>old</del><ins>new</ins><mark>m</mark><s>s</s><figure><img alt=\"a\">"
       "<figcaption>c</figcaption></figure>"},
  };
  for (const auto& c : cases) EXPECT_EQ(SanitizeHtmlFragment(c.in), c.out) << c.in;
}

// A title is HTML: inline presentation in effect, the rest as text, references once more.
TEST(HtmlSanitizerTest, TitlesKeepInlineMarkupOnly) {
  const struct {
    const char* title;
    const char* html;
    const char* plain;
  } cases[] = {
      {"Escaped <b>bold</b> news", "Escaped <b>bold</b> news", "Escaped bold news"},
      {"Markets &#163;300m", "Markets \u00a3300m", "Markets \u00a3300m"},
      {"A &amp; B", "A &amp; B", "A & B"},
      {"<a href=\"http://x/\" onclick=\"y()\">link</a> <I CLASS=x>it</I> H<sub>2</sub>O",
       "link <i>it</i> H<sub>2</sub>O", "link it H2O"},
      {"<div><strong>s<em>e</strong>", "<strong>s<em>e</em></strong>", "se"},
      {"x<script>alert(1)</script><img src=x onerror=y()><style>b{}</style>y", "xy", "xy"},
      {"1 < 2 & 3 > 2", "1 &lt; 2 &amp; 3 &gt; 2", "1 < 2 & 3 > 2"},
      {"</td></tr><tr><td>row", "row", "row"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SanitizeTitleHtml(c.title), c.html) << c.title;
    EXPECT_EQ(TitlePlainText(c.title), c.plain) << c.title;
  }
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
  // The page names the encoding its bytes are written in, then the subject.
  EXPECT_TRUE(page.starts_with(
      "<html><meta charset=\"gb18030\"><title>网球 &lt;&amp;&gt;</title><style>.channelTitle "
      "{font-family: \"黑体\""));
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

TEST(SubjectPageTest, RowsSanitiseTitlesAndQuoteLinks) {
  const std::string page = BuildSubjectPage(
      "T", {{"a \"b\" <i>x</i><img src=y onerror=z()>", "http://n.test/a b?x=1&y=2", "<b>d</b>"},
            {"bad", "javascript:alert(1)", ""}});
  EXPECT_NE(page.find("<tr><td class=\"itemTitle\"><a href=\"http://n.test/a b?x=1&amp;y=2\" "
                      "target=\"_blank\" class=\"itemTitle\">a \"b\" <i>x</i></a></td>"
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
