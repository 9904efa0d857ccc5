#include "app/installed_files.h"

#include <filesystem>
#include <fstream>
#include <sstream>

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

bool SeedFile(const fs::path& from, const fs::path& to, std::string& errorText) {
  std::error_code error;
  if (fs::exists(to, error) || !fs::exists(from, error)) return true;
  // Copied under a temporary name and renamed, so a start cut short leaves no half file
  // that a later start would take for the user's own.
  const fs::path partial = to.string() + ".partial";
  if (fs::copy_file(from, partial, fs::copy_options::overwrite_existing, error)) {
    fs::rename(partial, to, error);
    if (!error) return true;
  }
  fs::remove(partial, error);
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
  std::error_code error;
  if (fs::exists(database, error)) return true;
  std::ifstream schemaFile(defaults / "news.sql", std::ios::binary);
  if (!schemaFile) {
    errorText = "cannot read the news database schema " + (defaults / "news.sql").string();
    return false;
  }
  std::stringstream schema;
  schema << schemaFile.rdbuf();
  std::string createError;
  if (CreateNewsDatabase(database.string(), schema.str(), createError) ==
      CreateDatabaseResult::kFailed) {
    errorText = "cannot create " + database.string() + ": " + createError;
    return false;
  }
  return true;
}

}  // namespace lumarine
