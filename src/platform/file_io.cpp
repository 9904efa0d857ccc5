#include "platform/file_io.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <memory>

namespace lumarine {
namespace {

constexpr std::string_view kTemporaryMark = ".tmp";

// Set while static objects are built, before main: anything of ours older is debris.
const std::time_t kRunStart = std::time(nullptr);

// Closes a descriptor unless it was handed back.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int Get() const { return fd_; }
  bool Valid() const { return fd_ >= 0; }
  // Closes now, with the error a deferred write may report only here.
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

bool WriteAll(int fd, std::string_view bytes) {
  size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    written += static_cast<size_t>(n);
  }
  return true;
}

std::string DirectoryOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// A file system that cannot flush a directory (EINVAL) has nothing to flush.
bool SyncDirectory(const std::string& directory) {
  Descriptor dir(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!dir.Valid()) return false;
  if (::fsync(dir.Get()) != 0 && errno != EINVAL) return false;
  return dir.Close();
}

// The file a symbolic link names, so that replacing keeps the link; the path itself
// otherwise.
std::string ReplacementTarget(const std::string& path) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
  std::unique_ptr<char, decltype(&free)> resolved(realpath(path.c_str(), nullptr), &free);
  return resolved ? std::string(resolved.get()) : path;
}

bool IsDigits(std::string_view text) {
  if (text.empty()) return false;
  for (const char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

// The process id a temporary name of ours carries ("<name>.tmp<pid>_<n>"), or -1 when the
// name is not one of ours. Names of earlier versions (".partial", ".part<pid>_<n>") and the
// catalogue's old download name count too, with no process.
long TemporaryOwner(std::string_view name) {
  if (name.ends_with(".partial") || name == "qixchannel.ini.new") return 0;
  for (const std::string_view mark : {kTemporaryMark, std::string_view(".part")}) {
    const size_t at = name.rfind(mark);
    if (at == std::string_view::npos || at == 0) continue;
    const std::string_view tail = name.substr(at + mark.size());
    const size_t underscore = tail.find('_');
    if (underscore == std::string_view::npos) continue;
    const std::string_view pid = tail.substr(0, underscore);
    if (IsDigits(pid) && IsDigits(tail.substr(underscore + 1)))
      return std::strtol(std::string(pid).c_str(), nullptr, 10);
  }
  return -1;
}

bool ProcessAlive(long pid) {
  if (pid <= 0) return false;
  return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

}  // namespace

bool ReplaceFileContents(const std::string& path, std::string_view bytes) {
  static std::atomic<unsigned> counter{0};
  const std::string target = ReplacementTarget(path);
  const std::string temporary = target + std::string(kTemporaryMark) + std::to_string(getpid()) +
                                "_" + std::to_string(counter.fetch_add(1));
  Descriptor fd(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
  if (!fd.Valid()) return false;
  // The data must be on disk before the rename makes it the file, and close() may report a
  // write the file system deferred.
  const bool written = WriteAll(fd.Get(), bytes) && ::fsync(fd.Get()) == 0;
  const bool closed = fd.Close();
  if (!written || !closed || std::rename(temporary.c_str(), target.c_str()) != 0) {
    ::unlink(temporary.c_str());
    return false;
  }
  // The new name must be on disk too, or a crash can bring back the old file or none.
  return SyncDirectory(DirectoryOf(target));
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
    if (RenameNoReplace(path, name)) {
      // The move is done whether or not the directory could be flushed.
      SyncDirectory(DirectoryOf(path));
      return true;
    }
    if (errno != EEXIST) return false;
  }
  return false;
}

FileState ProbeFile(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) == 0) return FileState::kPresent;
  return errno == ENOENT ? FileState::kAbsent : FileState::kUnknown;
}

FileContents ReadFileContents(const std::string& path, size_t maxBytes) {
  FileContents contents;
  // Non-blocking, so that a FIFO put in a file's place does not wait for a writer.
  Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (!fd.Valid()) {
    if (errno == ENOENT) contents.result = FileContents::Result::kAbsent;
    return contents;
  }
  struct stat info {};
  if (::fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0 ||
      static_cast<size_t>(info.st_size) > maxBytes)
    return contents;
  // Read to the end, not to the size fstat gave: a file may grow while it is read.
  std::string bytes;
  bytes.resize(static_cast<size_t>(info.st_size) + 1);
  size_t got = 0;
  for (;;) {
    if (got == bytes.size()) {
      if (bytes.size() > maxBytes) return contents;
      bytes.resize(std::min(bytes.size() * 2, maxBytes + 1));
    }
    const ssize_t n = ::read(fd.Get(), bytes.data() + got, bytes.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return contents;
    if (n == 0) break;
    got += static_cast<size_t>(n);
  }
  if (got > maxBytes || !fd.Close()) return contents;
  bytes.resize(got);
  contents.bytes = std::move(bytes);
  contents.result = FileContents::Result::kRead;
  return contents;
}

size_t RemoveStaleTemporaryFiles(const std::string& directory, std::string_view prefix) {
  const auto closeDirectory = [](DIR* d) { closedir(d); };
  std::unique_ptr<DIR, decltype(closeDirectory)> dir(opendir(directory.c_str()), closeDirectory);
  if (!dir) return 0;
  size_t removed = 0;
  while (const dirent* entry = readdir(dir.get())) {
    if (!std::string_view(entry->d_name).starts_with(prefix)) continue;
    const long owner = TemporaryOwner(entry->d_name);
    if (owner < 0 || (owner != getpid() && ProcessAlive(owner))) continue;
    const std::string path = directory + "/" + entry->d_name;
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) continue;
    if (info.st_mtime >= kRunStart) continue;
    if (::unlink(path.c_str()) == 0) ++removed;
  }
  return removed;
}

}  // namespace lumarine
