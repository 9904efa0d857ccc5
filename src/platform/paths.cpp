#include "platform/paths.h"

#include <limits.h>
#include <unistd.h>

#include <mutex>

namespace lumarine {
namespace {

std::mutex overrideMutex;
std::string overrideDirectory;

}  // namespace

std::string ExecutableDirectory() {
  {
    std::lock_guard lock(overrideMutex);
    if (!overrideDirectory.empty()) return overrideDirectory;
  }
  char buffer[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (length <= 0) return ".";
  std::string path(buffer, static_cast<size_t>(length));
  const size_t slash = path.rfind('/');
  // A program in "/" keeps its profile directly below the root.
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string ProfileFilePath(std::string_view tail) { return ExecutableDirectory().append(tail); }

void SetExecutableDirectoryOverride(std::string directory) {
  std::lock_guard lock(overrideMutex);
  overrideDirectory = std::move(directory);
}

}  // namespace lumarine
