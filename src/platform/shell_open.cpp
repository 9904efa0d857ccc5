#include "platform/shell_open.h"

#include <spawn.h>
#include <sys/wait.h>

#include <atomic>

extern char** environ;

namespace lumarine {
namespace {

std::atomic<ShellOpenService*> installedService{nullptr};

// Starts xdg-open through a short-lived intermediate child so that no zombie is left
// behind and the caller never waits for the browser.
bool SpawnXdgOpen(const std::string& target) {
  const char* argv[] = {"/bin/sh", "-c",           "xdg-open \"$1\" >/dev/null 2>&1 &",
                        "sh",      target.c_str(), nullptr};
  pid_t pid = 0;
  if (posix_spawn(&pid, "/bin/sh", nullptr, nullptr, const_cast<char**>(argv), environ) != 0)
    return false;
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

ShellOpenService* SetShellOpenService(ShellOpenService* service) {
  return installedService.exchange(service);
}

bool ShellOpen(const std::string& target) {
  if (ShellOpenService* service = installedService.load()) return service->Open(target);
  return SpawnXdgOpen(target);
}

}  // namespace lumarine
