#include "feeds/rss_feed.h"

#include <gtest/gtest.h>

#include "platform/text_codec.h"
#include "support/loopback_server.h"
#include "support/temp_dir.h"

namespace lumarine {
namespace {

const std::string kData = std::string(LUMARINE_TEST_DATA) + "/feeds/";

TEST(ParseFeedTest, ReadsItemsInDocumentOrder) {
  const RssFeed feed = ParseFeed(kData + "three_items.xml", false, false);
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
  const RssFeed feed = ParseFeed("file://" + kData + "three_items.xml", true, true);
  EXPECT_EQ(feed.title, "科技频道");
  ASSERT_EQ(feed.ItemCount(), 3u);
  EXPECT_EQ(feed.Item(1).description, "<p>two</p>");
  const RssFeed noTitle = ParseFeedFromMemory("<rss><channel><item/></channel></rss>", true, false);
  EXPECT_EQ(noTitle.title, "");
  EXPECT_EQ(noTitle.ItemCount(), 1u);
}

TEST(ParseFeedTest, OtherDocumentShapesYieldNothing) {
  for (const char* file : {"atom.xml", "rdf.xml", "truncated.xml", "missing.xml"}) {
    const RssFeed feed = ParseFeed(kData + file, true, true);
    EXPECT_EQ(feed.ItemCount(), 0u) << file;
    EXPECT_EQ(feed.title, "") << file;
  }
  EXPECT_EQ(
      ParseFeedFromMemory("<rss><item><title>x</title></item></rss>", false, false).ItemCount(),
      0u);
}

TEST(ParseFeedTest, ItemsOfEveryChannelCount) {
  const RssFeed feed = ParseFeedFromMemory(
      "<rss><channel><item><title>a</title></item></channel>"
      "<channel><item><title>b</title></item></channel></rss>",
      false, false);
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
      {"<html><body>not a feed</body></html>", FeedParseResult::kNotAFeed},
      {"", FeedParseResult::kUnreadableXml},
      {"\x00\x01 garbage", FeedParseResult::kUnreadableXml},
  };
  for (const auto& c : cases) {
    FeedParseResult result = FeedParseResult::kItems;
    ParseFeedFromMemory(c.bytes, false, false, {}, &result);
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
    serve("/404", "<rss><channel><item/></channel></rss>", "text/xml", 404);
    serve("/500", "<rss><channel><item/></channel></rss>", "text/xml", 500);
    serve("/html", "<html><body>not a feed</body></html>", "text/html");
    serve("/binary", std::string("\x00\x01\x02garbage", 10), "application/octet-stream");
    server_.Start();
  }

  test::LoopbackServer server_;
};

TEST_F(ParseFeedOverHttpTest, GbkCharactersInAFeedDeclaredGb2312AreRead) {
  const RssFeed feed = ParseFeed(server_.Url("/gbk"), true, false);
  EXPECT_EQ(feed.title, "国内新闻");
  ASSERT_EQ(feed.ItemCount(), 1u);
  EXPECT_EQ(feed.Item(0).title, "镕基 鍩 新闻");
}

TEST_F(ParseFeedOverHttpTest, HttpCharsetDecodesAFeedWithoutDeclaredEncoding) {
  const RssFeed feed = ParseFeed(server_.Url("/charset"), false, false);
  ASSERT_EQ(feed.ItemCount(), 1u);
  EXPECT_EQ(feed.Item(0).title, "新闻");
}

TEST_F(ParseFeedOverHttpTest, FailuresGiveAnEmptyRecord) {
  for (const char* path : {"/404", "/500", "/html", "/binary", "/nothing-here"})
    EXPECT_EQ(ParseFeed(server_.Url(path), true, true).ItemCount(), 0u) << path;
  EXPECT_EQ(ParseFeed("http://127.0.0.1:1/feed", true, true).ItemCount(), 0u);
}

}  // namespace
}  // namespace lumarine
