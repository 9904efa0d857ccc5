#include "feeds/feed_finder.h"

#include <gtest/gtest.h>

#include "support/loopback_server.h"

namespace lumarine {
namespace {

constexpr char kFeed[] =
    "<?xml version=\"1.0\"?><rss version=\"2.0\"><channel><title>Site news</title>"
    "<item><title>one</title><link>http://x/1</link></item></channel></rss>";

class FeedFinderTest : public testing::Test {
 protected:
  void SetUp() override {
    auto page = [](const char* head) {
      return [head](const httplib::Request&, httplib::Response& res) {
        res.set_content(std::string("<!DOCTYPE html><html><head><title>Site</title>") + head +
                            "</head><body><p>Hello &nbsp; <br></body></html>",
                        "text/html; charset=utf-8");
      };
    };
    // The first announced feed is dead, the second (relative) one reads.
    server_.Server().Get("/site/", page(R"(<link rel="stylesheet" href="/s.css">)"
                                        R"(<link rel="alternate" type="application/rss+xml")"
                                        R"( href="/gone.xml">)"
                                        R"(<LINK REL="Alternate Feed" TYPE="application/atom+xml")"
                                        R"( HREF="feeds/main.xml">)"));
    server_.Server().Get("/bare", page(""));
    server_.Server().Get("/site/feeds/main.xml",
                         [](const httplib::Request&, httplib::Response& res) {
                           res.set_content(kFeed, "application/rss+xml");
                         });
    server_.Server().Get("/feed.xml", [](const httplib::Request&, httplib::Response& res) {
      res.set_content(kFeed, "text/xml");
    });
    server_.Server().Get("/gone.xml",
                         [](const httplib::Request&, httplib::Response& res) { res.status = 404; });
    server_.Server().Get("/notfeed.xml", [](const httplib::Request&, httplib::Response& res) {
      res.set_content("<?xml version=\"1.0\"?><note>hi</note>", "text/xml");
    });
    server_.Start();
  }

  test::LoopbackServer server_;
};

TEST_F(FeedFinderTest, APageAddressGivesTheFirstAnnouncedFeedThatReads) {
  const FeedFinder::Result result = FeedFinder::Check(server_.Url("/site/"), true);
  EXPECT_EQ(result.address, server_.Url("/site/feeds/main.xml"));
  EXPECT_EQ(result.health.state, FeedHealth::State::kItems);
  EXPECT_EQ(result.feed.ItemCount(), 1u);
  EXPECT_EQ(result.feed.title, "Site news");
}

TEST_F(FeedFinderTest, EachFailureSaysWhy) {
  struct Case {
    std::string address;
    std::string text;
  };
  const Case cases[] = {
      {server_.Url("/feed.xml"), "正常 (1 条)"},   {server_.Url("/gone.xml"), "HTTP 404"},
      {server_.Url("/bare"), "不是RSS/Atom"},      {server_.Url("/notfeed.xml"), "不是RSS/Atom"},
      {"http://127.0.0.1:1/feed.xml", "无法连接"},
  };
  for (const Case& c : cases) {
    const FeedFinder::Result result = FeedFinder::Check(c.address, false);
    EXPECT_EQ(result.address, c.address);
    EXPECT_EQ(FeedHealthText(result.health), c.text) << c.address;
  }
}

TEST(FeedFinderLinksTest, AnnouncedFeedsAreResolvedAgainstBaseAndPage) {
  struct Case {
    const char* html;
    std::vector<std::string> feeds;
  };
  const Case cases[] = {
      {R"(<link rel="alternate" type="application/rss+xml" href="rss.xml">)",
       {"http://s.test/a/rss.xml"}},
      {R"(<base href="/b/"><link rel="alternate" type="application/atom+xml; charset=utf-8")"
       R"( href="atom">)",
       {"http://s.test/b/atom"}},
      {R"(<link rel="alternate" type="text/html" href="x"><link rel="feed" href="y">)"
       R"(<link rel="alternate" type="application/rss+xml" href="http://o.test/f">)"
       R"(<link rel="alternate" type="application/rss+xml" href="http://o.test/f">)",
       {"http://o.test/f"}},
      {"not html at all", {}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(FeedFinder::AnnouncedFeeds(c.html, "http://s.test/a/page.html"), c.feeds) << c.html;
}

}  // namespace
}  // namespace lumarine
