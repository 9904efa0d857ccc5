#include "app/installed_files.h"

#include <filesystem>

#include "platform/file_io.h"
#include "store/news_database_file.h"

namespace lumarine {
namespace {

namespace fs = std::filesystem;

bool MakeDirectory(const fs::path& directory, std::string& errorText) {
  std::error_code error;
  fs::create_directories(directory, error);
  if (!error) return true;
  errorText = "cannot create " + directory.string() + ": " + error.message();
  return false;
}

// Only a file that is not there is made: one that cannot be looked at now may be the
// user's own and is never written over. False, with the reason, for the latter.
bool Absent(const fs::path& path, bool& absent, std::string& errorText) {
  const FileState state = ProbeFile(path.string());
  absent = state == FileState::kAbsent;
  if (state != FileState::kUnknown) return true;
  errorText = "cannot look at " + path.string();
  return false;
}

bool SeedFile(const fs::path& from, const fs::path& to, std::string& errorText) {
  bool absent = false;
  if (!Absent(to, absent, errorText)) return false;
  if (!absent) return true;
  const FileContents defaults = ReadFileContents(from.string());
  if (defaults.result == FileContents::Result::kAbsent) return true;
  if (defaults.Read() && ReplaceFileContents(to.string(), defaults.bytes)) return true;
  errorText = "cannot copy " + from.string() + " to " + to.string();
  return false;
}

}  // namespace

bool InstalledFiles::Prepare(const ProgramLocations& locations,
                             const std::string& defaultsDirectory, std::string& errorText) {
  if (!locations.installed) return true;
  const fs::path defaults = defaultsDirectory;
  const fs::path profile = fs::path(locations.profileBase) / "profile";
  if (!MakeDirectory(profile, errorText) || !MakeDirectory(locations.dataDirectory, errorText))
    return false;
  for (const char* name : {"qixchannel.ini", "userchannel.ini"})
    if (!SeedFile(defaults / name, profile / name, errorText)) return false;

  const fs::path database = fs::path(locations.dataDirectory) / "news.mdb";
  bool absent = false;
  if (!Absent(database, absent, errorText)) return false;
  if (!absent) return true;
  const FileContents schema = ReadFileContents((defaults / "news.sql").string());
  if (!schema.Read()) {
    errorText = "cannot read the news database schema " + (defaults / "news.sql").string();
    return false;
  }
  std::string createError;
  if (CreateNewsDatabase(database.string(), schema.bytes, createError) ==
      CreateDatabaseResult::kFailed) {
    errorText = "cannot create " + database.string() + ": " + createError;
    return false;
  }
  return true;
}

}  // namespace lumarine
