#include "file_replace.h"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>

namespace lumarine {

bool ReplaceFileContents(const std::string& path, std::string_view bytes) {
  static std::atomic<unsigned> counter{0};
  const std::string temporary =
      path + ".tmp" + std::to_string(getpid()) + "_" + std::to_string(counter.fetch_add(1));
  const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  bool ok = true;
  size_t written = 0;
  while (ok && written < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + written, bytes.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0)
      ok = false;
    else
      written += static_cast<size_t>(n);
  }
  // The data must be on disk before the rename makes it the file.
  if (ok && fsync(fd) != 0) ok = false;
  if (close(fd) != 0) ok = false;
  if (ok && std::rename(temporary.c_str(), path.c_str()) != 0) ok = false;
  if (!ok) std::remove(temporary.c_str());
  return ok;
}

namespace {

// Renames without replacing an existing file: renameat2's no-replace flag, or a hard link
// and an unlink where the file system lacks the flag. Sets errno as the call that failed.
bool RenameNoReplace(const std::string& from, const std::string& to) {
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  if (link(from.c_str(), to.c_str()) != 0) return false;
  unlink(from.c_str());
  return true;
}

}  // namespace

bool KeepFileAside(const std::string& path, const std::string& suffix) {
  constexpr int kMaxKept = 1000;
  for (int number = 0; number <= kMaxKept; ++number) {
    const std::string name = path + suffix + (number == 0 ? "" : "." + std::to_string(number));
    if (RenameNoReplace(path, name)) return true;
    if (errno != EEXIST) return false;
  }
  return false;
}

}  // namespace lumarine
