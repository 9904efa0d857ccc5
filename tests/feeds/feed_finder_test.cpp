#include "feeds/feed_finder.h"

#include <gtest/gtest.h>

#include "support/loopback_server.h"

namespace lumarine {
namespace {

constexpr char kFeed[] =
    "<rss version=\"2.0\"><channel><title>Site news</title>"
    "<item><title>one</title><link>http://x/1</link></item></channel></rss>";

class FeedFinderTest : public testing::Test {
 protected:
  void SetUp() override {
    auto serve = [this](const char* path, int status, std::string body, const char* type) {
      server_.Server().Get(path, [=](const httplib::Request&, httplib::Response& res) {
        res.status = status;
        if (status == 200) res.set_content(body, type);
      });
    };
    // The page's first feed is dead; its second, relative to the page, reads.
    serve("/site/", 200,
          "<!DOCTYPE html><html><head><link rel=\"alternate\" type=\"application/rss+xml\" "
          "href=\"/gone.xml\"><LINK REL=\"Alternate Feed\" TYPE=\"application/atom+xml\" "
          "HREF=\"feeds/main.xml\"></head><body><p>Hello &nbsp; <br></body></html>",
          "text/html");
    serve("/site/feeds/main.xml", 200, kFeed, "application/rss+xml");
    serve("/bare", 200, "<html><body>no feed</body></html>", "text/html");
    serve("/feed.xml", 200, kFeed, "text/xml");
    serve("/gone.xml", 404, "", "");
    serve("/note.xml", 200, "<note>hi</note>", "text/xml");
    server_.Start();
  }

  test::LoopbackServer server_;
};

TEST_F(FeedFinderTest, APageAddressGivesTheFirstAnnouncedFeedThatReads) {
  const FeedFinder::Result result = FeedFinder::Check(server_.Url("/site/"), true);
  EXPECT_EQ(result.address, server_.Url("/site/feeds/main.xml"));
  EXPECT_EQ(result.feed.ItemCount(), 1u);
  EXPECT_EQ(result.feed.title, "Site news");
}

TEST_F(FeedFinderTest, EachFailureSaysWhy) {
  for (const auto& [address, text] :
       {std::pair<std::string, std::string>{server_.Url("/feed.xml"), "正常 (1 条)"},
        {server_.Url("/gone.xml"), "HTTP 404"},
        {server_.Url("/bare"), "不是RSS/Atom"},
        {server_.Url("/note.xml"), "不是RSS/Atom"},
        {"http://127.0.0.1:1/feed.xml", "无法连接"}}) {
    const FeedFinder::Result result = FeedFinder::Check(address, false);
    EXPECT_EQ(result.address, address);
    EXPECT_EQ(FeedHealthText(result.health), text) << address;
  }
}

TEST(FeedFinderLinksTest, AnnouncedFeedsAreResolvedAgainstBaseAndPageWithoutRepeats) {
  const std::pair<const char*, std::vector<std::string>> cases[] = {
      {R"(<base href="/b/"><link rel="alternate" type="application/atom+xml; charset=utf-8")"
       R"( href="atom">)",
       {"http://s.test/b/atom"}},
      {R"(<link rel="alternate" type="text/html" href="x"><link rel="feed" href="y">)"
       R"(<link rel="alternate" type="application/rss+xml" href="http://o.test/f">)"
       R"(<link rel="alternate" type="application/rss+xml" href="http://o.test/f">)",
       {"http://o.test/f"}},
      {"not html at all", {}},
  };
  for (const auto& [html, feeds] : cases)
    EXPECT_EQ(FeedFinder::AnnouncedFeeds(html, "http://s.test/a/page.html"), feeds) << html;
}

}  // namespace
}  // namespace lumarine
