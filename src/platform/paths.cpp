#include "platform/paths.h"

#include <limits.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <mutex>

namespace lumarine {
namespace {

std::mutex overrideMutex;
std::string overrideDirectory;

std::string OverrideDirectory() {
  std::lock_guard lock(overrideMutex);
  return overrideDirectory;
}

std::string RealExecutableDirectory() {
  const std::string path = ExecutablePath();
  if (path.empty()) return ".";
  const size_t slash = path.rfind('/');
  // A program in "/" keeps its profile directly below the root.
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::optional<std::string> Environment(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

std::string HomeDirectory() {
  if (const char* home = std::getenv("HOME"); home != nullptr && *home == '/') return home;
  if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir != nullptr)
    return entry->pw_dir;
  return "/tmp";
}

// The XDG rule: a variable counts only when it holds an absolute path.
std::string XdgDirectory(const std::optional<std::string>& variable, const std::string& home,
                         const char* fallback) {
  if (variable && !variable->empty() && variable->front() == '/') {
    std::string directory = *variable;
    while (directory.size() > 1 && directory.back() == '/') directory.pop_back();
    return directory;
  }
  return home + fallback;
}

}  // namespace

std::string ExecutablePath() {
  char buffer[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  return length > 0 ? std::string(buffer, static_cast<size_t>(length)) : std::string();
}

std::string ExecutableDirectory() {
  std::string directory = OverrideDirectory();
  return directory.empty() ? RealExecutableDirectory() : directory;
}

ProgramLocations DecideProgramLocations(const LocationFacts& facts) {
  if (facts.writableProfileBesideExecutable)
    return {facts.executableDirectory, facts.executableDirectory, false};
  return {XdgDirectory(facts.xdgConfigHome, facts.home, "/.config") + "/lumarine",
          XdgDirectory(facts.xdgCacheHome, facts.home, "/.cache") + "/lumarine", true};
}

ProgramLocations CurrentProgramLocations() {
  if (std::string directory = OverrideDirectory(); !directory.empty())
    return {directory, directory, false};
  LocationFacts facts;
  facts.executableDirectory = RealExecutableDirectory();
  facts.writableProfileBesideExecutable =
      IsWritableDirectory(facts.executableDirectory + "/profile");
  if (!facts.writableProfileBesideExecutable) {
    facts.xdgConfigHome = Environment("XDG_CONFIG_HOME");
    facts.xdgCacheHome = Environment("XDG_CACHE_HOME");
    facts.home = HomeDirectory();
  }
  return DecideProgramLocations(facts);
}

std::string XdgConfigHome() {
  return XdgDirectory(Environment("XDG_CONFIG_HOME"), HomeDirectory(), "/.config");
}

bool IsWritableDirectory(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
         access(path.c_str(), W_OK | X_OK) == 0;
}

std::string ProfileFilePath(std::string_view tail) {
  return CurrentProgramLocations().profileBase.append(tail);
}

std::string DataDirectory() { return CurrentProgramLocations().dataDirectory; }

std::string InstalledDataDirectory() {
  const std::string bin = RealExecutableDirectory();
  const size_t slash = bin.rfind('/');
  return (slash == std::string::npos ? std::string() : bin.substr(0, slash)) + "/share/lumarine";
}

void SetExecutableDirectoryOverride(std::string directory) {
  std::lock_guard lock(overrideMutex);
  overrideDirectory = std::move(directory);
}

}  // namespace lumarine
