#include "online/usage_report.h"

#include <gtest/gtest.h>

#include "platform/settings.h"
#include "platform/text_codec.h"
#include "support/loopback_server.h"
#include "support/temp_dir.h"

namespace lumarine {
namespace {

const std::string kOldCatalogue = "[channel]\r\nchannelcnt=1\r\nchannel1=old\r\n";
const std::string kNewCatalogue = "[channel]\r\nchannelcnt=2\r\nchannel1=a\r\nchannel2=b\r\n";

class UsageReportTest : public testing::Test {
 protected:
  void SetUp() override {
    auto& server = server_.Server();
    server.Get("/tongji/setupinfo.asp", [this](const httplib::Request&, httplib::Response& res) {
      res.status = installStatus_;
    });
    server.Get("/tongji/online2.asp", [](const httplib::Request&, httplib::Response& res) {
      res.set_content("ok", "text/plain");
    });
    server.Get("/soft/verinfo.exe", [this](const httplib::Request&, httplib::Response& res) {
      res.set_content(versionInfo_, "application/octet-stream");
    });
    server.Get("/soft/qixchannel.exe", [this](const httplib::Request&, httplib::Response& res) {
      res.status = catalogueStatus_;
      res.set_content(catalogue_, "application/octet-stream");
    });
    server_.Start();
    program_.WriteProfile("qixchannel.ini", kOldCatalogue);
    Settings::Write("setting", "homeserver", "http://127.0.0.1:" + std::to_string(server_.Port()));
  }

  std::vector<std::string> Paths() const { return server_.Requests(); }

  test::ScopedProgramDirectory program_;
  test::LoopbackServer server_;
  int installStatus_ = 200;
  std::string versionInfo_ = "[ver]\r\nchannel=5\r\nsubfeed=0\r\n";
  std::string catalogue_ = kNewCatalogue;
  int catalogueStatus_ = 200;
};

TEST_F(UsageReportTest, FirstExitSendsTheInstallReportOnceThenOnlyOnlineReports) {
  SendUsageReport(10);
  EXPECT_EQ(Paths(), (std::vector<std::string>{"/tongji/setupinfo.asp?name=Quillcrawl",
                                               "/tongji/online2.asp"}));
  EXPECT_EQ(Settings::SetupInfo(), 888);
  SendUsageReport(11);
  EXPECT_EQ(Paths().size(), 3u);
  EXPECT_EQ(Paths().back(), "/tongji/online2.asp");
}

TEST_F(UsageReportTest, AnyAnswerDeliversTheInstallReport) {
  installStatus_ = 500;
  SendUsageReport(1);
  EXPECT_EQ(Settings::SetupInfo(), 888);
}

TEST_F(UsageReportTest, RequestsAskForEverythingAndBypassCaches) {
  SendUsageReport(1);
  for (const httplib::Headers& headers : server_.RequestHeaders()) {
    EXPECT_EQ(headers.find("Accept")->second, "*/*");
    EXPECT_EQ(headers.find("Pragma")->second, "no-cache");
  }
}

TEST_F(UsageReportTest, UpdateCheckRunsOnlyOnTheNinthEighteenthAndTwentySeventh) {
  for (int day : {1, 10, 30, 31}) SendUsageReport(day);
  for (const std::string& path : Paths()) EXPECT_EQ(path.find("/soft/"), std::string::npos);
  for (int day : {9, 18, 27}) {
    const size_t before = Paths().size();
    SendUsageReport(day);
    EXPECT_GT(Paths().size(), before + 1) << day;
  }
}

TEST_F(UsageReportTest, NewerCatalogueReplacesTheOldOneAndRecordsItsVersion) {
  Settings::SetChannelVersion(3);
  SendUsageReport(18);
  EXPECT_EQ(program_.ReadProfile("qixchannel.ini"), kNewCatalogue);
  EXPECT_EQ(Settings::ChannelVersion(), 5);
  EXPECT_EQ(Paths().back(), "/soft/qixchannel.exe");
}

TEST_F(UsageReportTest, EqualOrOlderVersionsDownloadNothing) {
  Settings::SetChannelVersion(5);
  EXPECT_TRUE(CheckForUpdates());
  Settings::Write("ver", "channelver", "7");
  EXPECT_TRUE(CheckForUpdates());
  for (const std::string& path : Paths()) EXPECT_NE(path, "/soft/qixchannel.exe");
  EXPECT_EQ(program_.ReadProfile("qixchannel.ini"), kOldCatalogue);
}

TEST_F(UsageReportTest, VersionsCompareAsSignedNumbers) {
  Settings::Write("ver", "channelver", "-2");
  versionInfo_ = "[ver]\r\nchannel=-1\r\n";
  EXPECT_TRUE(CheckForUpdates());
  EXPECT_EQ(Settings::ChannelVersion(), -1);
}

TEST_F(UsageReportTest, ABrokenCatalogueDownloadKeepsTheOldFileAndVersion) {
  for (const auto& [status, body] : {std::pair{404, kNewCatalogue},
                                     {200, std::string("<html>error page</html>")},
                                     {200, std::string()}}) {
    catalogueStatus_ = status;
    catalogue_ = body;
    EXPECT_TRUE(CheckForUpdates());
    EXPECT_EQ(program_.ReadProfile("qixchannel.ini"), kOldCatalogue) << status << body;
    EXPECT_EQ(Settings::ChannelVersion(), 0);
  }
}

TEST_F(UsageReportTest, NewerTemplateVersionInstallsTheTemplateAtEveryCheck) {
  versionInfo_ = "[ver]\r\nsubfeed=1\r\n";
  EXPECT_TRUE(CheckForUpdates());
  EXPECT_EQ(Settings::SubjectFeedTemplate(), Settings::kBaiduNewsTemplate);
  Settings::SetSubjectFeedTemplate("changed");
  EXPECT_TRUE(CheckForUpdates());
  EXPECT_EQ(Settings::SubjectFeedTemplate(), Settings::kBaiduNewsTemplate);
  EXPECT_EQ(Settings::SubjectFeedVersion(), 0);
}

TEST_F(UsageReportTest, UnreachableServerIsSilentAndLeavesSetupInfo) {
  Settings::Write("setting", "homeserver", "http://127.0.0.1:1");
  SendUsageReport(9);
  EXPECT_EQ(Settings::SetupInfo(), 0);
  EXPECT_FALSE(CheckForUpdates());
}

TEST(UsageReportWithoutHomeServerTest, SendsNothing) {
  test::ScopedProgramDirectory program;
  SendUsageReport(9);
  EXPECT_EQ(Settings::SetupInfo(), 0);
  EXPECT_FALSE(CheckForUpdates());
}

}  // namespace
}  // namespace lumarine
