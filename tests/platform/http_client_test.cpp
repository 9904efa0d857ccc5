#include "platform/http_client.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <thread>

#include "support/loopback_server.h"
#include "support/temp_dir.h"

namespace lumarine {
namespace {

using namespace std::chrono_literals;
using test::LoopbackServer;
using test::TempDir;

class HttpClientTest : public testing::Test {
 protected:
  void SetUp() override {
    server_.Server().Get("/ok", [](const httplib::Request&, httplib::Response& res) {
      res.set_content("hello", "text/xml; charset=GBK");
    });
    server_.Server().Get("/missing", [](const httplib::Request&, httplib::Response& res) {
      res.status = 404;
      res.set_content("gone", "text/plain");
    });
    server_.Server().Get("/broken",
                         [](const httplib::Request&, httplib::Response& res) { res.status = 500; });
    server_.Server().Get("/loop", [](const httplib::Request&, httplib::Response& res) {
      res.set_redirect("/loop");
    });
    server_.Server().Get("/redirect", [](const httplib::Request&, httplib::Response& res) {
      res.set_redirect("/ok");
    });
    server_.Server().Get("/huge", [](const httplib::Request&, httplib::Response& res) {
      res.set_content(std::string(3000, 'x'), "text/plain");
    });
    server_.Server().Get("/tagged", [](const httplib::Request& req, httplib::Response& res) {
      res.set_header("ETag", "\"v1\"");
      res.set_header("Last-Modified", "Tue, 08 Dec 2026 08:00:00 GMT");
      if (req.get_header_value("If-None-Match") == "\"v1\"")
        res.status = 304;
      else
        res.set_content("<rss/>", "text/xml");
    });
    server_.Server().Get("/busy", [this](const httplib::Request&, httplib::Response& res) {
      const int now = ++inFlight_;
      for (int seen = mostInFlight_;
           now > seen && !mostInFlight_.compare_exchange_weak(seen, now);) {
      }
      std::this_thread::sleep_for(50ms);
      --inFlight_;
      res.set_content("busy", "text/plain");
    });
    server_.Server().Get("/slow", [this](const httplib::Request&, httplib::Response& res) {
      std::unique_lock lock(slowMutex_);
      slowRelease_.wait_for(lock, 10s, [this] { return released_; });
      res.set_content("late", "text/plain");
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

  HttpRequest Request(const std::string& path) {
    HttpRequest request;
    request.url = server_.Url(path);
    return request;
  }

  LoopbackServer server_;
  std::atomic<int> inFlight_{0};
  std::atomic<int> mostInFlight_{0};
  std::mutex slowMutex_;
  std::condition_variable slowRelease_;
  bool released_ = false;
};

TEST_F(HttpClientTest, FetchesABodyWithItsContentType) {
  const HttpResponse response = HttpGet(Request("/ok"));
  EXPECT_TRUE(response.ok);
  EXPECT_EQ(response.status, 200);
  EXPECT_EQ(response.body, "hello");
  EXPECT_EQ(CharsetOfContentType(response.contentType), "gbk");
}

TEST_F(HttpClientTest, HttpErrorsFailUnlessAnyAnswerCounts) {
  EXPECT_FALSE(HttpGet(Request("/missing")).ok);
  EXPECT_FALSE(HttpGet(Request("/broken")).ok);
  HttpRequest anyAnswer = Request("/missing");
  anyAnswer.failOnHttpError = false;
  const HttpResponse response = HttpGet(anyAnswer);
  EXPECT_TRUE(response.ok);
  EXPECT_EQ(response.status, 404);
}

TEST_F(HttpClientTest, FollowsRedirectsButNotForever) {
  EXPECT_EQ(HttpGet(Request("/redirect")).body, "hello");
  const HttpResponse loop = HttpGet(Request("/loop"));
  EXPECT_FALSE(loop.ok);
  EXPECT_LE(server_.Requests().size(), 2u + 6u);
}

TEST_F(HttpClientTest, BodyOverTheCapFails) {
  HttpRequest request = Request("/huge");
  request.maxBodyBytes = 1000;
  const HttpResponse response = HttpGet(request);
  EXPECT_FALSE(response.ok);
  EXPECT_TRUE(response.body.empty());
}

TEST_F(HttpClientTest, ServerThatNeverAnswersIsBoundedByTheTimeout) {
  HttpRequest request = Request("/slow");
  request.totalTimeout = 300ms;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(HttpGet(request).ok);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
}

TEST_F(HttpClientTest, StopRequestAbortsATransferInFlight) {
  std::stop_source source;
  HttpRequest request = Request("/slow");
  request.stop = source.get_token();
  std::jthread stopper([&source] {
    std::this_thread::sleep_for(100ms);
    source.request_stop();
  });
  const auto start = std::chrono::steady_clock::now();
  const HttpResponse response = HttpGet(request);
  EXPECT_FALSE(response.ok);
  EXPECT_EQ(response.error, "stopped");
  EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
}

TEST_F(HttpClientTest, UnreachableHostFailsWithoutAnAnswer) {
  HttpRequest request;
  request.url = "http://127.0.0.1:1/feed";
  const HttpResponse response = HttpGet(request);
  EXPECT_FALSE(response.ok);
  EXPECT_EQ(response.status, 0);
}

TEST_F(HttpClientTest, NoCacheAndExtraHeadersAreSent) {
  HttpRequest request = Request("/ok");
  request.noCache = true;
  request.headers = {"Accept: */*"};
  ASSERT_TRUE(HttpGet(request).ok);
  const httplib::Headers headers = server_.RequestHeaders().back();
  EXPECT_EQ(headers.find("Cache-Control")->second, "no-cache");
  EXPECT_EQ(headers.find("Accept")->second, "*/*");
}

TEST_F(HttpClientTest, ValidatorsOfAnAnswerSentBackGetANotModified) {
  const HttpResponse first = HttpGet(Request("/tagged"));
  ASSERT_TRUE(first.ok);
  EXPECT_FALSE(first.notModified);
  EXPECT_EQ(first.etag, "\"v1\"");
  EXPECT_EQ(first.lastModified, "Tue, 08 Dec 2026 08:00:00 GMT");
  HttpRequest again = Request("/tagged");
  again.ifNoneMatch = first.etag;
  again.ifModifiedSince = first.lastModified;
  const HttpResponse second = HttpGet(again);
  EXPECT_TRUE(second.ok);
  EXPECT_TRUE(second.notModified);
  EXPECT_TRUE(second.body.empty());
  const httplib::Headers headers = server_.RequestHeaders().back();
  EXPECT_EQ(headers.find("If-Modified-Since")->second, first.lastModified);
}

TEST_F(HttpClientTest, EachFailureSaysWhy) {
  struct Case {
    HttpRequest request;
    HttpFailure failure;
  };
  Case cases[] = {{Request("/missing"), HttpFailure::kHttpStatus},
                  {Request("/huge"), HttpFailure::kTooLarge},
                  {Request("/slow"), HttpFailure::kTimedOut},
                  {Request("/ok"), HttpFailure::kNone}};
  cases[1].request.maxBodyBytes = 1000;
  cases[2].request.totalTimeout = 200ms;
  cases[3].request.url = "http://127.0.0.1:1/feed";
  cases[3].failure = HttpFailure::kCannotConnect;
  for (const Case& c : cases) EXPECT_EQ(HttpGet(c.request).failure, c.failure) << c.request.url;
  EXPECT_EQ(HttpGet(Request("/missing")).status, 404);
}

TEST_F(HttpClientTest, ManyGetsRunAFewAtATimeAndEachAnswersOnce) {
  std::vector<HttpRequest> requests(12, Request("/busy"));
  requests[5] = Request("/missing");
  std::vector<int> answers(requests.size(), 0);
  HttpGetAll(requests, 3, 0ms,
             [&](size_t index, HttpResponse& response) {
               ++answers[index];
               EXPECT_EQ(response.ok, index != 5) << index;
             },
             {});
  EXPECT_EQ(answers, std::vector<int>(requests.size(), 1));
  EXPECT_LE(mostInFlight_, 3);
  EXPECT_GE(mostInFlight_, 2) << "the transfers overlap";
}

TEST_F(HttpClientTest, StoppingManyGetsEndsThemAtOnce) {
  std::stop_source source;
  std::jthread stopper([&source] {
    std::this_thread::sleep_for(100ms);
    source.request_stop();
  });
  int answers = 0;
  const auto start = std::chrono::steady_clock::now();
  HttpGetAll(
      std::vector<HttpRequest>(4, Request("/slow")), 6, 0ms,
      [&](size_t, HttpResponse&) { ++answers; }, source.get_token());
  EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
  EXPECT_EQ(answers, 0);
}

TEST(HttpClientLocalTest, ReadsFileAddressesAndPlainPaths) {
  TempDir dir;
  dir.Write("a b.xml", "<rss/>");
  HttpRequest request;
  request.url = dir.File("a b.xml");
  EXPECT_EQ(HttpGet(request).body, "<rss/>");
  request.url = "file://" + dir.Path() + "/a%20b.xml";
  EXPECT_EQ(HttpGet(request).body, "<rss/>");
  request.url = dir.File("none.xml");
  EXPECT_FALSE(HttpGet(request).ok);
  // Neither a folder nor a pipe nobody writes to is a feed; the pipe must not hold the
  // refresh worker waiting for a writer.
  request.url = dir.Path();
  EXPECT_FALSE(HttpGet(request).ok);
  ASSERT_EQ(mkfifo(dir.File("pipe.xml").c_str(), 0600), 0);
  request.url = dir.File("pipe.xml");
  EXPECT_FALSE(HttpGet(request).ok);
  request.url = dir.File("a b.xml");
  request.maxBodyBytes = 5;
  EXPECT_FALSE(HttpGet(request).ok);
}

TEST_F(HttpClientTest, DownloadReplacesTheTargetOnlyOnSuccess) {
  TempDir dir;
  dir.Write("target.ini", "old");
  EXPECT_FALSE(HttpDownloadToFile(Request("/missing"), dir.File("target.ini")).ok);
  EXPECT_EQ(dir.Read("target.ini"), "old");
  EXPECT_TRUE(HttpDownloadToFile(Request("/ok"), dir.File("target.ini")).ok);
  EXPECT_EQ(dir.Read("target.ini"), "hello");
}

TEST(CharsetOfContentTypeTest, FindsTheParameter) {
  EXPECT_EQ(CharsetOfContentType("text/xml"), "");
  EXPECT_EQ(CharsetOfContentType("text/xml;Charset=\"UTF-8\"; x=y"), "utf-8");
}

}  // namespace
}  // namespace lumarine
