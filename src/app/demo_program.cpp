#include "app/demo_program.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/profile_file.h"
#include "store/news_database_file.h"

namespace lumarine {
namespace {

namespace fs = std::filesystem;

struct DemoChannel {
  const char* name;
  const char* feedFile;
};
constexpr DemoChannel kChannels[] = {
    {"本地", "lake.xml"}, {"科技", "tech.xml"}, {"体育", "sport.xml"}};

bool WriteProfiles(const fs::path& profile, const fs::path& feeds) {
  const ProfileFile catalogue((profile / "qixchannel.ini").string());
  const ProfileFile user((profile / "userchannel.ini").string());
  const ProfileFile settings((profile / "sysopt.ini").string());
  bool written = catalogue.WriteInt("channel", "channelcnt", std::size(kChannels)) &&
                 user.WriteInt("userchannel", "channelcnt", std::size(kChannels));
  int number = 1;
  for (const DemoChannel& channel : kChannels) {
    const std::string key = "channel" + std::to_string(number++);
    written = written && catalogue.WriteString("channel", key, channel.name) &&
              catalogue.WriteInt(channel.name, "feedcnt", 1) &&
              catalogue.WriteString(channel.name, "feed1", (feeds / channel.feedFile).string()) &&
              user.WriteString("userchannel", key, channel.name) &&
              user.WriteInt(channel.name, "substate", 1);
  }
  // No home server: the demo sends nothing anywhere.
  return written && settings.WriteString("main", "left", "1") &&
         settings.WriteString("setting", "homeserver", "");
}

}  // namespace

DemoProgram::~DemoProgram() {
  if (directory_.empty()) return;
  std::error_code ignored;
  fs::remove_all(directory_, ignored);
}

bool DemoProgram::Create(const std::string& defaultsDirectory, std::string& errorText) {
  const fs::path defaults = defaultsDirectory;
  const fs::path feeds = defaults / "demo";
  std::error_code error;
  if (!fs::exists(feeds / kChannels[0].feedFile, error)) {
    errorText = "the sample feeds are missing from " + feeds.string();
    return false;
  }
  std::ifstream schemaFile(defaults / "news.sql", std::ios::binary);
  if (!schemaFile) {
    errorText = "cannot read " + (defaults / "news.sql").string();
    return false;
  }
  std::stringstream schema;
  schema << schemaFile.rdbuf();

  char pattern[] = "/tmp/lumarine-demo-XXXXXX";
  if (mkdtemp(pattern) == nullptr) {
    errorText = "cannot make a temporary directory";
    return false;
  }
  directory_ = pattern;
  const fs::path root = directory_;
  fs::create_directories(root / "profile", error);
  std::string createError;
  if (error || !WriteProfiles(root / "profile", fs::absolute(feeds))) {
    errorText = "cannot write the demo profile in " + directory_;
    return false;
  }
  if (CreateNewsDatabase((root / "news.mdb").string(), schema.str(), createError) !=
      CreateDatabaseResult::kCreated) {
    errorText = "cannot create the demo news database: " + createError;
    return false;
  }
  return true;
}

}  // namespace lumarine
