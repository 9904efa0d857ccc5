#include "subjects/subject_page_worker.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>

#include "platform/process_values.h"
#include "platform/settings.h"
#include "platform/text_codec.h"
#include "subjects/subject_feed_loader.h"
#include "subjects/subject_page.h"
#include "subjects/subject_url_template.h"
#include "support/loopback_server.h"
#include "support/shell_open_recorder.h"
#include "support/temp_dir.h"

namespace lumarine {
namespace {

using namespace std::chrono_literals;

constexpr const char* kFeed =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?><rss version=\"2.0\"><channel><title>c</title>"
    "<item><title>First &amp; best</title><link>http://news.test/1</link>"
    "<description>&lt;b&gt;ok&lt;/b&gt;&lt;script&gt;alert('x')&lt;/script&gt;"
    "&lt;img src=x onerror=\"alert(2)\"&gt;</description></item>"
    "<item><title>Second</title><link>javascript:alert(3)</link><description/></item>"
    "</channel></rss>";

constexpr const char* kEmptyFeed =
    "<?xml version=\"1.0\"?><rss version=\"2.0\"><channel><title>c</title></channel></rss>";

class SubjectPageWorkerTest : public testing::Test {
 protected:
  void SetUp() override {
    server_.Server().Get("/feed", [](const httplib::Request&, httplib::Response& res) {
      res.set_content(kFeed, "text/xml");
    });
    server_.Server().Get(R"(/empty.*)", [](const httplib::Request&, httplib::Response& res) {
      res.set_content(kEmptyFeed, "text/xml");
    });
    server_.Server().Get("/slow", [this](const httplib::Request&, httplib::Response& res) {
      std::unique_lock lock(slowMutex_);
      slowRelease_.wait_for(lock, 20s, [this] { return released_; });
      res.set_content(kFeed, "text/xml");
    });
    server_.Start();
  }
  void TearDown() override {
    {
      std::lock_guard lock(slowMutex_);
      released_ = true;
    }
    slowRelease_.notify_all();
  }

  std::string PagePath() const { return program_.Path() + "/subject.htm"; }
  std::string Page() const { return Gb18030ToUtf8(test::ReadFileBytes(PagePath())); }

  test::ScopedProgramDirectory program_;
  test::ShellOpenRecorder opened_;
  test::LoopbackServer server_;
  std::mutex slowMutex_;
  std::condition_variable slowRelease_;
  bool released_ = false;
};

TEST_F(SubjectPageWorkerTest, FeedContentCannotRunScriptInThePage) {
  SubjectItem item("网球");
  item.kind = kSubjectFeed;
  item.url = server_.Url("/feed");
  {
    SubjectPageWorker worker;
    worker.OpenSubjectPage(&item, false);
    worker.WaitForRequests();
  }
  const std::string page = Page();
  EXPECT_NE(page.find(">网球</a>"), std::string::npos);
  EXPECT_NE(page.find(">First &amp; best</a>"), std::string::npos);
  EXPECT_NE(page.find("href=\"http://news.test/1\""), std::string::npos);
  // A relative address is made absolute against the item's link.
  EXPECT_NE(page.find("<b>ok</b><img src=\"http://news.test/x\">"), std::string::npos) << page;
  for (const char* active : {"<script", "alert", "onerror", "javascript"})
    EXPECT_EQ(page.find(active), std::string::npos) << active;
  EXPECT_EQ(opened_.Opened(), std::vector<std::string>{PagePath()});
}

// A subject's feed is read by the one feed parser: Atom, which the subject page never had a
// reader of its own for, gives its entries with their alternate links and summaries.
TEST(LoadSubjectFeedTest, ReadsEveryFormatTheFeedParserReads) {
  test::TempDir dir;
  dir.Write("atom.xml",
            "<?xml version=\"1.0\"?><feed xmlns=\"http://www.w3.org/2005/Atom\"><title>t</title>"
            "<entry><title>A</title><link rel=\"self\" href=\"http://e/self\"/>"
            "<link href=\"http://e/a\"/><summary>s</summary></entry>"
            "<entry><title>B</title><content>c</content></entry></feed>");
  const std::vector<SubjectFeedItem> items = LoadSubjectFeed(dir.File("atom.xml"), {});
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[0].title, "A");
  EXPECT_EQ(items[0].link, "http://e/a");
  EXPECT_EQ(items[0].description, "s");
  EXPECT_EQ(items[1].link, "");
  EXPECT_EQ(items[1].description, "c");
}

TEST_F(SubjectPageWorkerTest, AnEmptyOrUnreachableFeedSaysSoAndWhy) {
  struct Case {
    std::string path;
    std::string says;
  };
  for (const Case& c :
       {Case{"/empty", "没有找到新闻：没有新闻"}, Case{"/missing", "没有找到新闻：HTTP 404"}}) {
    SubjectPageWorker worker;
    worker.Request(server_.Url(c.path), "R&D");
    worker.WaitForRequests();
    const std::string page = Page();
    EXPECT_NE(page.find(c.says), std::string::npos) << page;
    EXPECT_NE(page.find("<title>R&amp;D</title>"), std::string::npos) << page;
  }
  EXPECT_EQ(opened_.Opened().size(), 2u);
}

TEST_F(SubjectPageWorkerTest, AFeedAddressWithASemicolonIsRequestedWhole) {
  SubjectItem item("Title");
  item.kind = kSubjectFeed;
  item.url = server_.Url("/empty;jsessionid=1?a=1&b=2");
  SubjectPageWorker worker;
  worker.OpenSubjectPage(&item, false);
  worker.WaitForRequests();
  EXPECT_EQ(server_.Requests().back(), "/empty;jsessionid=1?a=1&b=2");
  EXPECT_NE(Page().find("class=\"channelTitle\">Title</a>"), std::string::npos);
}

TEST_F(SubjectPageWorkerTest, KeywordSubjectsSearchWithTheEncodedKeyword) {
  SetSubjectSearchTemplate(server_.Url("/empty?q=%s&output=rss"));
  SubjectItem item("网 球");
  item.url = SubjectUrlTemplate::KeywordUrl(item.title);
  SetSubjectSearchTemplate(std::string(Settings::kGoogleNewsTemplate));
  SubjectPageWorker worker;
  worker.OpenSubjectPage(&item, false);
  worker.WaitForRequests();
  EXPECT_EQ(server_.Requests().back(), "/empty?q=%E7%BD%91%20%E7%90%83&output=rss");
}

TEST_F(SubjectPageWorkerTest, NoItemMeansNoRequest) {
  SubjectPageWorker worker;
  worker.OpenSubjectPage(nullptr, false);
  worker.OpenSubjectPage(nullptr, true);
  worker.WaitForRequests();
  EXPECT_TRUE(opened_.Opened().empty());
  EXPECT_FALSE(std::filesystem::exists(PagePath()));
}

TEST_F(SubjectPageWorkerTest, ALaterRequestsPageIsNeverReplacedByAnEarlierOne) {
  std::mutex mutex;
  std::condition_variable changed;
  bool releaseFirst = false;
  SubjectPageWorker worker([&](const std::string& address, std::stop_token, std::string*) {
    if (address == "first") {
      std::unique_lock lock(mutex);
      changed.wait(lock, [&] { return releaseFirst; });
    }
    return std::vector<SubjectFeedItem>{{address, "http://x.test/", ""}};
  });
  worker.Request("first", "First");
  worker.Request("second", "Second");
  while (opened_.Opened().empty()) std::this_thread::sleep_for(1ms);
  {
    std::lock_guard lock(mutex);
    releaseFirst = true;
  }
  changed.notify_all();
  worker.WaitForRequests();
  EXPECT_NE(Page().find(">Second</a>"), std::string::npos);
  EXPECT_EQ(opened_.Opened().size(), 1u);
}

TEST_F(SubjectPageWorkerTest, ShutdownStopsRequestsInFlightWithoutWriting) {
  const auto start = std::chrono::steady_clock::now();
  {
    SubjectPageWorker worker;
    worker.Request(server_.Url("/slow"), "T");
    while (server_.Requests().empty()) std::this_thread::sleep_for(1ms);
  }
  EXPECT_LT(std::chrono::steady_clock::now() - start, 15s);
  EXPECT_FALSE(std::filesystem::exists(PagePath()));
  EXPECT_TRUE(opened_.Opened().empty());
}

}  // namespace
}  // namespace lumarine
