#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lumarine {

// Full path of the running executable; empty when it cannot be read.
std::string ExecutablePath();

// Directory of the running executable (no trailing "/"). Derived afresh at every call.
std::string ExecutableDirectory();

// Where the program keeps its files.
struct ProgramLocations {
  // Holds profile/: every profile tail ("/profile/sysopt.ini") is appended to it.
  std::string profileBase;
  // Holds the per-run files news.mdb and subject.htm.
  std::string dataDirectory;
  // True for an installed program, whose files live in the user's XDG directories.
  bool installed = false;
};

// What the decision looks at; `std::nullopt` stands for an unset variable.
struct LocationFacts {
  std::string executableDirectory;
  bool writableProfileBesideExecutable = false;
  std::optional<std::string> xdgConfigHome;
  std::optional<std::string> xdgCacheHome;
  std::string home;
};

// A writable profile/ beside the executable (a build tree, a copied or demo tree) keeps every
// file beside the executable. Otherwise the profile lives in $XDG_CONFIG_HOME/lumarine and
// the per-run files in $XDG_CACHE_HOME/lumarine; unset, empty or relative variables fall back
// to ~/.config and ~/.cache, as the XDG base directory rules say.
ProgramLocations DecideProgramLocations(const LocationFacts& facts);

// The decision for this process, made afresh at every call: the one place that decides where
// every file of the program lives.
ProgramLocations CurrentProgramLocations();

// $XDG_CONFIG_HOME by the XDG rules (~/.config when unset, empty or relative).
std::string XdgConfigHome();

// Whether `path` is a directory this process may create files in.
bool IsWritableDirectory(const std::string& path);

// The profile base followed by `tail`, e.g. ProfileFilePath("/profile/sysopt.ini").
std::string ProfileFilePath(std::string_view tail);

// The directory of news.mdb and subject.htm (no trailing "/").
std::string DataDirectory();

// The installed defaults (catalogue, schema, demo feeds): <prefix>/share/lumarine for an
// executable in <prefix>/bin.
std::string InstalledDataDirectory();

// Tests run from their own binaries: let them point the program directory at a temporary
// tree, which then holds profile/ and the per-run files like a copied tree. An empty text
// restores the real decision.
void SetExecutableDirectoryOverride(std::string directory);

}  // namespace lumarine
