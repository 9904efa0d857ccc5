// Runs one write path of the program on the files below a directory and says by its exit
// status whether the program reported success (0) or failure (1). The fault test runs it
// under the fault shim and then checks the files itself.
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>

#include "app/autostart_entry.h"
#include "app/installed_files.h"
#include "feeds/channel_store.h"
#include "platform/http_client.h"
#include "platform/paths.h"
#include "platform/profile_file.h"
#include "subjects/opml_export.h"
#include "subjects/subject_store.h"

using namespace lumarine;

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: file_fault_driver OPERATION DIRECTORY\n");
    return 2;
  }
  const std::string dir = argv[2];
  // The program directory, whose profile/ holds the profile files.
  SetExecutableDirectoryOverride(dir + "/program");
  const std::string profile = dir + "/program/profile/";

  const std::map<std::string, std::function<bool()>> operations = {
      {"settings",
       [] {
         return ProfileFile(ProfileFilePath("/profile/sysopt.ini"))
             .WriteString("main", "left", "0");
       }},
      {"subscribe", [] { return ChannelStore::SubscribeChannel("新频道"); }},
      {"unsubscribe", [] { return ChannelStore::UnsubscribeChannel("科技"); }},
      {"add-feed", [] { return ChannelStore::AddUserFeed("科技", "http://example.test/new.xml"); }},
      {"remove-feed",
       [] { return ChannelStore::RemoveUserFeed("科技", "http://example.test/a.xml"); }},
      {"feed-state",
       [] { return ChannelStore::SetFeedState("科技", "http://example.test/b.xml", false); }},
      {"subject",
       [&] {
         SubjectStore store;
         return store.Load(profile + "subject.xml") && store.AddGroup("", "新组");
       }},
      {"opml",
       [&] {
         SubjectStore store;
         return store.Load(profile + "subject.xml") &&
                ExportSubjectsOpml(store, dir + "/export.opml").ok;
       }},
      {"autostart", [] { return AutostartEntry::Write("/usr/bin/lumarine"); }},
      {"download",
       [&] {
         HttpRequest request;
         request.url = "file://" + dir + "/defaults/qixchannel.ini";
         return HttpDownloadToFile(request, profile + "qixchannel.ini").ok;
       }},
      {"seed",
       [&] {
         ProgramLocations locations;
         locations.installed = true;
         locations.profileBase = dir + "/installed";
         locations.dataDirectory = dir + "/installed/cache";
         std::string error;
         return InstalledFiles::Prepare(locations, dir + "/defaults", error);
       }},
  };
  const auto found = operations.find(argv[1]);
  if (found == operations.end()) {
    std::fprintf(stderr, "file_fault_driver: no operation %s\n", argv[1]);
    return 2;
  }
  return found->second() ? 0 : 1;
}
