#include "online/usage_report.h"

#include <ctime>
#include <string>

#include "platform/file_io.h"
#include "platform/http_client.h"
#include "platform/paths.h"
#include "platform/profile_file.h"
#include "platform/settings.h"

namespace lumarine {
namespace {

constexpr const char* kInstallReportPath = "/tongji/setupinfo.asp?name=Quillcrawl";
constexpr const char* kOnlineReportPath = "/tongji/online2.asp";
constexpr const char* kVersionInfoPath = "/soft/verinfo.exe";
constexpr const char* kCataloguePath = "/soft/qixchannel.exe";
// Exit must not wait on the network for long.
constexpr std::chrono::milliseconds kRequestBound{3000};

HttpRequest HomeRequest(const std::string& homeServer, const char* path) {
  HttpRequest request;
  request.url = homeServer + path;
  request.headers = {"Accept: */*"};
  request.noCache = true;
  request.connectTimeout = kRequestBound;
  request.totalTimeout = kRequestBound;
  return request;
}

// A report counts as delivered when the server answered at all, whatever the status.
bool SendReport(const std::string& homeServer, const char* path) {
  HttpRequest request = HomeRequest(homeServer, path);
  request.failOnHttpError = false;
  const HttpResponse response = HttpGet(request);
  return response.ok && response.status > 0;
}

bool IsCatalogue(std::string text) {
  return ProfileFile::FromText(std::move(text)).GetInt("channel", "channelcnt", -1) >= 0;
}

// Installs a downloaded catalogue only when it is one: a broken download or an error page
// must not replace the user's channels.
bool DownloadCatalogue(const std::string& homeServer) {
  const HttpResponse response = HttpGet(HomeRequest(homeServer, kCataloguePath));
  if (!response.ok || response.status != 200 || !IsCatalogue(response.body)) return false;
  return ReplaceFileContents(ProfileFilePath("/profile/qixchannel.ini"), response.body);
}

int TodayUtc() {
  const std::time_t now = std::time(nullptr);
  std::tm utc{};
  gmtime_r(&now, &utc);
  return utc.tm_mday;
}

}  // namespace

void SendUsageReport() { SendUsageReport(TodayUtc()); }

void SendUsageReport(int dayOfMonthUtc) {
  const std::string homeServer = Settings::HomeServer();
  if (homeServer.empty()) return;
  const int setupInfo = Settings::SetupInfo();
  Settings::SiteName();  // read as ever, though no request carries it

  if (setupInfo == 0 && SendReport(homeServer, kInstallReportPath))
    Settings::SetSetupInfo(Settings::kInstallReported);
  SendReport(homeServer, kOnlineReportPath);
  if (dayOfMonthUtc % 9 == 0) CheckForUpdates();
}

bool CheckForUpdates() {
  const std::string homeServer = Settings::HomeServer();
  if (homeServer.empty()) return false;
  const std::string versionFile = ProfileFilePath("/profile/verinfo.ini");
  if (!HttpDownloadToFile(HomeRequest(homeServer, kVersionInfoPath), versionFile).ok) return false;

  const ProfileFile versionInfo(versionFile);
  const int serverChannel = versionInfo.GetInt("ver", "channel", 0);
  const int serverSubfeed = versionInfo.GetInt("ver", "subfeed", 0);
  if (serverChannel > Settings::ChannelVersion() && DownloadCatalogue(homeServer))
    Settings::SetChannelVersion(serverChannel);
  if (serverSubfeed > Settings::SubjectFeedVersion()) {
    const std::string subfeed = Settings::UpdateSubjectFeed();
    if (!subfeed.empty()) Settings::SetSubjectFeedTemplate(subfeed);
  }
  return true;
}

}  // namespace lumarine
