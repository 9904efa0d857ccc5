#include "feeds/rss_feed.h"

#include <gtest/gtest.h>

#include <array>

#include "platform/http_client.h"
#include "platform/text_codec.h"
#include "support/loopback_server.h"
#include "support/temp_dir.h"

namespace lumarine {
namespace {

const std::string kData = std::string(LUMARINE_TEST_DATA) + "/feeds/";

TEST(ParseFeedTest, ReadsItemsInDocumentOrder) {
  const RssFeed feed = ParseFeed(kData + "three_items.xml");
  ASSERT_EQ(feed.ItemCount(), 3u);
  EXPECT_EQ(feed.Item(0).title, "第一条");
  EXPECT_EQ(feed.Item(0).link, "http://example.com/1");
  // Markup escaped as entities arrives unescaped.
  EXPECT_EQ(feed.Item(1).title, "Second <b>bold</b> & more");
  // An item without a link has an empty link.
  EXPECT_EQ(feed.Item(2).link, "");
  for (const RssItem& item : feed.items) {
    EXPECT_EQ(item.description, "") << "descriptions only on request";
    EXPECT_EQ(item.pubDate, "");
    EXPECT_EQ(item.className, "");
  }
  EXPECT_EQ(feed.title, "") << "no title unless asked for";
}

TEST(ParseFeedTest, ReadsTitleAndDescriptionsOnRequest) {
  const RssFeed feed = ParseFeed("file://" + kData + "three_items.xml",
                                 {.wantTitle = true, .wantDescriptions = true});
  EXPECT_EQ(feed.title, "科技频道");
  ASSERT_EQ(feed.ItemCount(), 3u);
  EXPECT_EQ(feed.Item(1).description, "<p>two</p>");
  const RssFeed noTitle = ParseFeedFromMemory("<rss><channel><item/></channel></rss>",
                                              {.wantTitle = true, .wantDescriptions = false});
  EXPECT_EQ(noTitle.title, "");
  EXPECT_EQ(noTitle.ItemCount(), 1u);
}

TEST(ParseFeedTest, DocumentsThatAreNoFeedYieldNothing) {
  const RssFeed missing =
      ParseFeed(kData + "missing.xml", {.wantTitle = true, .wantDescriptions = true});
  EXPECT_EQ(missing.ItemCount(), 0u);
  EXPECT_EQ(missing.title, "");
  EXPECT_EQ(ParseFeedFromMemory("<rss><item><title>x</title></item></rss>").ItemCount(), 0u);
  EXPECT_EQ(ParseFeedFromMemory("<html><body><item><title>x</title></item></body></html>",
                                {.wantTitle = true, .wantDescriptions = false})
                .ItemCount(),
            0u);
}

// Every format a reader meets, through the same parser: title, count and the first item.
TEST(ParseFeedTest, ReadsAtomRdfAndEveryRssVersion) {
  // title, link, description, author, category, pubDate, subject of the first item
  using Fields = std::array<std::string, 7>;
  const struct {
    const char* file;
    const char* title;
    size_t count;
    Fields first;
  } cases[] = {
      {"atom.xml", "A", 1, {"x", "http://example.com/x"}},
      {"atom10.xml",
       "原子频道",
       3,
       {"First &lt;b&gt;entry&lt;/b&gt;", "http://example.com/1", "The summary", "Ann", "tech",
        "2026-12-08T05:00:00Z"}},
      {"rdf.xml", "R", 1, {"x", "http://example.com/x"}},
      {"rdf_dublin_core.xml",
       "RDF 频道",
       2,
       {"One", "http://example.com/1", "First description", "Bo", "", "2026-12-08T06:00:00+08:00",
        "Science"}},
      {"rss091_netscape.xml",
       "Café\u00a0News",
       2,
       {"Crème\u00a0brûlée & © …", "http://example.com/1?a=1&b=2", "café ☺"}},
      {"rss092.xml", "Userland 0.92", 2, {"", "", "An item with only a description"}},
      {"rss2_default_namespace.xml",
       "Namespaced",
       2,
       {"In a namespace", "http://example.com/ns/1", "d1"}},
      // RSS 2.0 reads as it always did: only its own elements, and no date or author.
      {"rss2_extensions.xml", "Extensions", 1, {"The title", "http://example.com/x", "padded"}},
  };
  for (const auto& c : cases) {
    FeedParseResult result = FeedParseResult::kNotAFeed;
    const RssFeed feed =
        ParseFeedFromMemory(test::ReadFileBytes(kData + c.file),
                            {.wantTitle = true, .wantDescriptions = true}, {}, &result);
    EXPECT_EQ(result, FeedParseResult::kItems) << c.file;
    EXPECT_EQ(feed.title, c.title) << c.file;
    ASSERT_EQ(feed.ItemCount(), c.count) << c.file;
    const RssItem& item = feed.Item(0);
    EXPECT_EQ((Fields{item.title, item.link, item.description, item.author, item.category,
                      item.pubDate, item.subject}),
              c.first)
        << c.file;
    EXPECT_EQ(ParseFeed(kData + c.file).Item(0).description, "") << c.file;
  }
}

TEST(ParseFeedTest, AtomAndRdfFallBackToTheirOtherElements) {
  const RssFeed atom =
      ParseFeed(kData + "atom10.xml", {.wantTitle = false, .wantDescriptions = true});
  ASSERT_EQ(atom.ItemCount(), 3u);
  // No summary: the content; no published: updated; no alternate link: the first link.
  EXPECT_EQ(atom.Item(1).description, "<p>Only content</p>");
  EXPECT_EQ(atom.Item(1).pubDate, "2026-12-07T06:00:00Z");
  EXPECT_EQ(atom.Item(1).link, "http://example.com/2");
  EXPECT_EQ(atom.Item(2).link, "") << "an enclosure is no page to open";
  const RssFeed rdf =
      ParseFeed(kData + "rdf_dublin_core.xml", {.wantTitle = false, .wantDescriptions = true});
  ASSERT_EQ(rdf.ItemCount(), 2u);
  EXPECT_EQ(rdf.Item(1).title, "Two from Dublin Core");
  EXPECT_EQ(rdf.Item(1).link, "http://example.com/2") << "rdf:about stands in for the link";
  EXPECT_EQ(rdf.Item(1).description, "<p>encoded</p>");
}

// title, link, description of the items of one fixture, in order.
using ItemFields = std::array<std::string, 3>;

std::vector<ItemFields> ReadFixture(const std::string& file, std::string_view address = {}) {
  const RssFeed feed = ParseFeedFromMemory(test::ReadFileBytes(kData + file),
                                           {.wantTitle = true, .wantDescriptions = true},
                                           {.httpCharset = {}, .address = address});
  std::vector<ItemFields> fields;
  for (const RssItem& item : feed.items)
    fields.push_back({item.title, item.link, item.description});
  return fields;
}

// Where real feeds keep their title, text and page: every fallback in its order, per fixture.
TEST(ParseFeedTest, TitlesDescriptionsAndLinksFallBackAsReadersExpect) {
  const struct {
    const char* file;
    std::vector<ItemFields> items;
  } cases[] = {
      {"title_markup.xml",
       {{"Escaped <b>bold</b> news", "http://example.com/1", ""},
        {"CDATA <em>with</em> <a href=\"http://x/\">tags</a>", "http://example.com/2", ""},
        {"Markets &#163;300m", "http://example.com/3", ""},
        {"A &amp; B", "http://example.com/4", ""},
        {"From Dublin Core", "http://example.com/5", ""},
        {"From Media RSS", "http://example.com/6", ""}}},
      {"atom_title_markup.xml",
       {{"<strong>Strong</strong> &amp; safe", "http://example.com/a1", ""},
        {"<div>H<sub>2</sub>O <span>rises</span></div>", "http://example.com/a2", ""}}},
      {"description_fallbacks.xml",
       {{"own", "", "own text"},
        {"encoded", "", "<p>full <b>text</b></p>"},
        {"xhtml", "", "<p>body <i>text</i> &amp; more</p>"},
        {"atom", "", "<p>atom content</p>"},
        {"media", "", "media text"},
        {"group", "", "grouped"},
        {"itunes", "", "itunes text"},
        {"dc", "", "dc text"}}},
      {"atom_fallbacks.xml",
       {{"empty summary", "http://example.com/1", "<div><p>xhtml <em>content</em></p></div>"},
        {"text link", "http://example.com/2", "media in a group"},
        {"enclosure only", "", ""},
        {"relative", "http://feeds.test/%E6%96%B0%E9%97%BB/4%20a.html", ""}}},
      {"link_fallbacks.xml",
       {{"guid", "https://example.com/guid", ""},
        {"guid true", "http://example.com/true", ""},
        {"guid false", "http://example.com/atom", ""},
        {"guid not web", "http://example.com/a10", ""},
        {"link wins", "http://example.com/link", ""},
        {"relative", "http://feeds.test/%E6%96%B0%E9%97%BB/1.html?q=%E4%B8%AD", ""}}},
      {"atom03_base64.xml",
       {{"Base64 title", "http://example.com/03", "<p>新闻</p>"},
        {"Escaped <b>x</b>", "http://example.com/03b", "<div>inline <b>xml</b></div>"}}},
      {"rss091_items_after_channel.xml",
       {{"Inside", "http://example.com/in", ""},
        {"After one", "http://example.com/after1", ""},
        {"After two", "http://example.com/after2", ""}}},
      // One unclosed element costs no item: it ends where the item's next element starts.
      {"unclosed_element.xml",
       {{"First", "http://example.com/1", "one"},
        {"Second", "http://example.com/2", "unclosed paragraph"},
        {"Third", "http://example.com/3", "three"}}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ReadFixture(c.file, "http://feeds.test/feed.xml"), c.items) << c.file;
  EXPECT_EQ(
      ParseFeed(kData + "title_markup.xml", {.wantTitle = true, .wantDescriptions = false}).title,
      "Daily <i>Wire</i>");
  EXPECT_EQ(
      ParseFeed(kData + "atom_title_markup.xml", {.wantTitle = true, .wantDescriptions = false})
          .title,
      "<div>Atom <b>feed</b></div>");
  // Without a request for descriptions none of their fallbacks is read.
  for (const RssItem& item : ParseFeed(kData + "description_fallbacks.xml").items)
    EXPECT_EQ(item.description, "") << item.title;
}

// An unclosed element in raw markup, in every place recovery meets it.
TEST(ParseFeedTest, RecoveryClosesUnclosedElementsWithoutSwallowingLaterItems) {
  const struct {
    const char* xml;
    std::vector<std::string> titles;
  } cases[] = {
      {"<rss><channel><item><title>a</title><x:c xmlns:x='u' k='v'><link>l</link></item>"
       "<item><title>b</title></item></channel></rss>",
       {"a", "b"}},
      {"<rss><channel><item><title>a<link>l</link></item><item><title>b</title></item>"
       "</channel></rss>",
       {"a", "b"}},
      {"<rss><channel><item><title>a</title><description><p>x<br>y</description></item>"
       "<item><title>b</title></item></channel></rss>",
       {"a", "b"}},
      {"<feed xmlns='http://www.w3.org/2005/Atom'><entry><title>a</title><summary><p>s"
       "</summary></entry><entry><title>b</title></entry></feed>",
       {"a", "b"}},
      // An end tag that closes nothing open still marks its item damaged.
      {"<rss><channel><item><title>a</titel></item><item><title>b</title></item>"
       "</channel></rss>",
       {"b"}},
  };
  for (const auto& c : cases) {
    std::vector<std::string> titles;
    for (const RssItem& item : ParseFeedFromMemory(c.xml).items) titles.push_back(item.title);
    EXPECT_EQ(titles, c.titles) << c.xml;
  }
  const RssFeed first = ParseFeedFromMemory(
      "<rss><channel><item><title>a</title><x:c xmlns:x='u'><link>l</link></item></channel></rss>");
  ASSERT_EQ(first.ItemCount(), 1u);
  EXPECT_EQ(first.Item(0).link, "l");
}

// A relative link would open nothing from the list: it is made absolute against the
// document's xml:base and the address it came from; an absolute one is kept as written.
TEST(ParseFeedTest, RelativeLinksAreResolvedAgainstXmlBaseAndTheFeedAddress) {
  const std::string atom =
      "<feed xmlns=\"http://www.w3.org/2005/Atom\" xml:base=\"http://blog.test/en/\">"
      "<entry><link href=\"posts/1\"/></entry>"
      "<entry xml:base=\"/other/\"><link href=\"2?a=1#top\"/></entry>"
      "<entry><link href=\"HTTP://Cdn.test/a b\"/></entry>"
      "<entry><link href=\"//mirror.test/4\"/></entry></feed>";
  const RssFeed feed =
      ParseFeedFromMemory(atom, {}, {.httpCharset = {}, .address = "http://x.test/f"});
  ASSERT_EQ(feed.ItemCount(), 4u);
  EXPECT_EQ(feed.Item(0).link, "http://blog.test/en/posts/1");
  EXPECT_EQ(feed.Item(1).link, "http://blog.test/other/2?a=1#top");
  EXPECT_EQ(feed.Item(2).link, "HTTP://Cdn.test/a b");
  EXPECT_EQ(feed.Item(3).link, "http://mirror.test/4");
  const std::string rss =
      "<rss version=\"2.0\"><channel><item><link>/news/1.html</link></item>"
      "<item><link>javascript:alert(1)</link></item><item><title>none</title></item>"
      "</channel></rss>";
  const RssFeed fromSite = ParseFeedFromMemory(
      rss, {}, {.httpCharset = {}, .address = "https://site.test/rss/feed.xml?x=1"});
  ASSERT_EQ(fromSite.ItemCount(), 3u);
  EXPECT_EQ(fromSite.Item(0).link, "https://site.test/news/1.html");
  EXPECT_EQ(fromSite.Item(1).link, "javascript:alert(1)") << "left to the page's own checks";
  EXPECT_EQ(fromSite.Item(2).link, "");
  // Without an address nor a base, the link stays as the feed wrote it.
  EXPECT_EQ(ParseFeedFromMemory(rss).Item(0).link, "/news/1.html");
}

// A document the strict parse refuses keeps every item that came through whole.
TEST(ParseFeedTest, BrokenDocumentsKeepTheirWholeItems) {
  const RssFeed broken =
      ParseFeed(kData + "broken_recoverable.xml", {.wantTitle = true, .wantDescriptions = false});
  EXPECT_EQ(broken.title, "Tom & Jerry &undefined; news");
  ASSERT_EQ(broken.ItemCount(), 3u);
  EXPECT_EQ(broken.Item(0).title, "Fish & chips");
  EXPECT_EQ(broken.Item(0).link, "http://example.com/?a=1&b=2");
  EXPECT_EQ(broken.Item(1).title, "a < b & c \u00a0d");
  // After a mismatched tag, later references still give their characters.
  EXPECT_EQ(broken.Item(2).title, "After the damage & still whole");
  EXPECT_EQ(broken.Item(2).link, "http://example.com/4");

  const RssFeed truncated = ParseFeed(kData + "truncated.xml");
  ASSERT_EQ(truncated.ItemCount(), 1u) << "the cut item is not whole";
  EXPECT_EQ(truncated.Item(0).link, "http://e/1");

  const RssFeed controls = ParseFeedFromMemory(
      "<rss><channel><item><title>a\x01\x1F"
      "b&#1;c&#xFFFE;</title></item></channel></rss>");
  ASSERT_EQ(controls.ItemCount(), 1u);
  EXPECT_EQ(controls.Item(0).title, "abc");
}

TEST(ParseFeedTest, NamedReferencesAreReadAsHtmlWithoutAnyDtd) {
  const RssFeed plain = ParseFeedFromMemory(
      "<rss><channel><item><title>&eacute;&nbsp;&NotEqualTilde;&AMP;&unknown; &amp</title>"
      "</item></channel></rss>");
  ASSERT_EQ(plain.ItemCount(), 1u);
  EXPECT_EQ(plain.Item(0).title, "é\u00a0\u2242\u0338&&unknown; &amp");
  // A name the document declares itself keeps the document's meaning.
  const RssFeed declared = ParseFeedFromMemory(
      "<!DOCTYPE rss [<!ENTITY copy \"(c) ACME\">]><rss><channel><item><title>&copy;&reg;"
      "</title></item></channel></rss>");
  ASSERT_EQ(declared.ItemCount(), 1u);
  EXPECT_EQ(declared.Item(0).title, "(c) ACME®");
}

TEST(ParseFeedTest, UndecodableBytesAreReplacedAndTheItemsKept) {
  const RssFeed gb =
      ParseFeed(kData + "gb2312_euro.xml", {.wantTitle = true, .wantDescriptions = false});
  EXPECT_EQ(gb.title, "价格");
  ASSERT_EQ(gb.ItemCount(), 2u);
  EXPECT_EQ(gb.Item(0).title, "价格 €100") << "code page 936 reads 0x80 as the euro sign";
  EXPECT_EQ(gb.Item(1).title, "坏\uFFFDx");
  const RssFeed utf8 = ParseFeed(kData + "utf8_stray_byte.xml");
  ASSERT_EQ(utf8.ItemCount(), 2u);
  EXPECT_EQ(utf8.Item(0).title, "前\uFFFD后");
  EXPECT_EQ(utf8.Item(1).title, "好");
}

TEST(ParseFeedTest, AByteOrderMarkWinsOverTheServerAndTheDeclaration) {
  const std::string utf16 = test::ReadFileBytes(kData + "utf16_bom.xml");
  for (const char* charset : {"", "gbk", "iso-8859-1"}) {
    const RssFeed feed = ParseFeedFromMemory(utf16, {.wantTitle = true, .wantDescriptions = false},
                                             {.httpCharset = charset, .address = {}});
    EXPECT_EQ(feed.title, "双字节") << charset;
    ASSERT_EQ(feed.ItemCount(), 1u) << charset;
    EXPECT_EQ(feed.Item(0).title, "统一码 ☺") << charset;
  }
  const RssFeed utf8 = ParseFeedFromMemory(
      "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"gb2312\"?><rss><channel><item><title>新闻"
      "</title></item></channel></rss>",
      {}, {.httpCharset = "gbk", .address = {}});
  ASSERT_EQ(utf8.ItemCount(), 1u);
  EXPECT_EQ(utf8.Item(0).title, "新闻");
  // White space before the declaration no longer costs the feed.
  EXPECT_EQ(ParseFeedFromMemory("\n\n<?xml version=\"1.0\"?><rss><channel><item/></channel></rss>")
                .ItemCount(),
            1u);
}

TEST(ParseFeedTest, OversizedDocumentsAreRefusedUnread) {
  std::string huge = "<rss><channel><item><title>x</title></item>";
  huge.resize(16 * 1024 * 1024 + 1, ' ');
  FeedParseResult result = FeedParseResult::kItems;
  EXPECT_EQ(ParseFeedFromMemory(huge, {}, {}, &result).ItemCount(), 0u);
  EXPECT_EQ(result, FeedParseResult::kUnreadableXml);
}

TEST(ParseFeedTest, ItemsOfEveryChannelCount) {
  const RssFeed feed = ParseFeedFromMemory(
      "<rss><channel><item><title>a</title></item></channel>"
      "<channel><item><title>b</title></item></channel></rss>");
  ASSERT_EQ(feed.ItemCount(), 2u);
  EXPECT_EQ(feed.Item(1).title, "b");
}

TEST(ParseFeedTest, ResultSaysWhyNoItemCameOut) {
  const struct {
    const char* bytes;
    FeedParseResult expected;
  } cases[] = {
      {"<rss><channel><item/></channel></rss>", FeedParseResult::kItems},
      {"<rss><channel><title>t</title></channel></rss>", FeedParseResult::kNoItems},
      {"<rss><channel><title>t</title><item><title>cut", FeedParseResult::kNoItems},
      {"<feed xmlns=\"http://www.w3.org/2005/Atom\"><title>t</title></feed>",
       FeedParseResult::kNoItems},
      {"<html><body>not a feed</body></html>", FeedParseResult::kNotAFeed},
      {"<html><body><p>not even well-formed</body>", FeedParseResult::kNotAFeed},
      {"", FeedParseResult::kUnreadableXml},
      {"not xml at all", FeedParseResult::kUnreadableXml},
  };
  for (const auto& c : cases) {
    FeedParseResult result = FeedParseResult::kItems;
    ParseFeedFromMemory(c.bytes, {}, {}, &result);
    EXPECT_EQ(result, c.expected) << c.bytes;
  }
}

class ParseFeedOverHttpTest : public testing::Test {
 protected:
  void SetUp() override {
    auto serve = [this](const std::string& path, std::string body, std::string type,
                        int status = 200) {
      server_.Server().Get(path,
                           [body, type, status](const httplib::Request&, httplib::Response& res) {
                             res.status = status;
                             res.set_content(body, type.c_str());
                           });
    };
    const std::string gbk = test::ReadFileBytes(kData + "gbk_in_gb2312.xml");
    serve("/gbk", gbk, "text/xml");
    serve("/charset",
          "<?xml version=\"1.0\"?><rss><channel><item><title>" + Utf8ToGb18030("新闻") +
              "</title></item></channel></rss>",
          "application/rss+xml; charset=gbk");
    serve("/spaced",
          "<rss><channel><item><title>" + Utf8ToGb18030("新闻") + "</title></item></channel></rss>",
          "application/rss+xml ; Charset = \"GBK\" ; x=y");
    serve("/utf16", test::ReadFileBytes(kData + "utf16_bom.xml"), "text/xml; charset=gbk");
    serve("/dtd", "<!ENTITY nbsp \"LEAK\">", "application/xml-dtd");
    serve("/404", "<rss><channel><item/></channel></rss>", "text/xml", 404);
    serve("/500", "<rss><channel><item/></channel></rss>", "text/xml", 500);
    serve("/html", "<html><body>not a feed</body></html>", "text/html");
    serve("/binary", std::string("\x00\x01\x02garbage", 10), "application/octet-stream");
    server_.Start();
  }

  test::LoopbackServer server_;
};

TEST_F(ParseFeedOverHttpTest, GbkCharactersInAFeedDeclaredGb2312AreRead) {
  const RssFeed feed =
      ParseFeed(server_.Url("/gbk"), {.wantTitle = true, .wantDescriptions = false});
  EXPECT_EQ(feed.title, "国内新闻");
  ASSERT_EQ(feed.ItemCount(), 1u);
  EXPECT_EQ(feed.Item(0).title, "镕基 鍩 新闻");
}

TEST_F(ParseFeedOverHttpTest, HttpCharsetDecodesAFeedWithoutDeclaredEncoding) {
  const RssFeed feed = ParseFeed(server_.Url("/charset"));
  ASSERT_EQ(feed.ItemCount(), 1u);
  EXPECT_EQ(feed.Item(0).title, "新闻");
}

TEST_F(ParseFeedOverHttpTest, TheCharsetParameterIsReadAsHttpWritesIt) {
  const RssFeed spaced = ParseFeed(server_.Url("/spaced"));
  ASSERT_EQ(spaced.ItemCount(), 1u);
  EXPECT_EQ(spaced.Item(0).title, "新闻");
  const RssFeed utf16 = ParseFeed(server_.Url("/utf16"));
  ASSERT_EQ(utf16.ItemCount(), 1u);
  EXPECT_EQ(utf16.Item(0).title, "统一码 ☺") << "the byte-order mark beats charset=gbk";
  const struct {
    const char* header;
    const char* charset;
  } cases[] = {
      {"text/xml", ""},
      {"text/xml;charset=UTF-8", "utf-8"},
      {"text/xml; charset = gbk", "gbk"},
      {"text/xml; CHARSET=\"gb2312\"; x=y", "gb2312"},
      {"text/xml; x=\"a;charset=big5\"; charset=utf-8", "utf-8"},
      {"text/xml; xcharset=big5", ""},
      {"text/xml; charset=\"a\\\"b\"", "a\"b"},
  };
  for (const auto& c : cases) EXPECT_EQ(CharsetOfContentType(c.header), c.charset) << c.header;
}

TEST_F(ParseFeedOverHttpTest, NeitherTheDtdNorExternalEntitiesAreFetched) {
  // Strict and recovering parses alike: the second document is broken on purpose.
  for (const std::string tail : {"</title></item></channel></rss>", "</titel></item>"}) {
    const std::string xml = "<!DOCTYPE rss SYSTEM \"" + server_.Url("/dtd") +
                            "\" [<!ENTITY e SYSTEM \"" + server_.Url("/dtd") +
                            "\">]><rss><channel><item><title>a&nbsp;&e;" + tail;
    const RssFeed feed = ParseFeedFromMemory(xml);
    for (const RssItem& item : feed.items) EXPECT_EQ(item.title.find("LEAK"), std::string::npos);
  }
  EXPECT_TRUE(server_.Requests().empty());
}

TEST_F(ParseFeedOverHttpTest, FailuresGiveAnEmptyRecord) {
  for (const char* path : {"/404", "/500", "/html", "/binary", "/nothing-here"})
    EXPECT_EQ(
        ParseFeed(server_.Url(path), {.wantTitle = true, .wantDescriptions = true}).ItemCount(), 0u)
        << path;
  EXPECT_EQ(ParseFeed("http://127.0.0.1:1/feed", {.wantTitle = true, .wantDescriptions = true})
                .ItemCount(),
            0u);
}

}  // namespace
}  // namespace lumarine
