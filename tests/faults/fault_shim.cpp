// Preloaded into a process to fail its file-system calls on paths below FAULT_DIR:
//   FAULT_CALL  open | read | write | close | fsync | rename | stat, "any" of these, or
//               "short" (every write takes at most a few bytes, the others go through)
//   FAULT_NTH   fail the Nth such call (1-based), or
//   FAULT_PROB  fail each such call with this probability in thousandths (FAULT_SEED seeds)
//   FAULT_ERRNO the error number to report
//   FAULT_MARK  a file created when a fault was injected, so the caller knows one was
// Descriptors count when they were opened below FAULT_DIR.
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <stdarg.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <mutex>

namespace {

enum class Call { kNone, kOpen, kRead, kWrite, kClose, kFsync, kRename, kStat, kShort, kAny };

struct Config {
  bool ready = false;
  const char* dir = nullptr;
  size_t dirLength = 0;
  Call call = Call::kNone;
  long nth = 0;
  long probability = 0;
  unsigned seed = 1;
  int error = EIO;
  const char* mark = nullptr;
};

Config config;
std::once_flag configured;
std::atomic<long> seen{0};
constexpr int kMaxDescriptors = 65536;
std::atomic<bool> tracked[kMaxDescriptors];

Call ParseCall(const char* name) {
  if (!name) return Call::kNone;
  static const struct {
    const char* name;
    Call call;
  } names[] = {{"open", Call::kOpen},   {"read", Call::kRead},   {"write", Call::kWrite},
               {"close", Call::kClose}, {"fsync", Call::kFsync}, {"rename", Call::kRename},
               {"stat", Call::kStat},   {"short", Call::kShort}, {"any", Call::kAny}};
  for (const auto& entry : names)
    if (strcmp(name, entry.name) == 0) return entry.call;
  return Call::kNone;
}

const Config& Get() {
  std::call_once(configured, [] {
    config.dir = getenv("FAULT_DIR");
    config.dirLength = config.dir ? strlen(config.dir) : 0;
    config.call = ParseCall(getenv("FAULT_CALL"));
    if (const char* nth = getenv("FAULT_NTH")) config.nth = strtol(nth, nullptr, 10);
    if (const char* p = getenv("FAULT_PROB")) config.probability = strtol(p, nullptr, 10);
    if (const char* s = getenv("FAULT_SEED")) config.seed = static_cast<unsigned>(atoi(s));
    if (const char* e = getenv("FAULT_ERRNO")) config.error = atoi(e);
    config.mark = getenv("FAULT_MARK");
    config.ready = config.dir && config.call != Call::kNone;
  });
  return config;
}

bool Below(const char* path) {
  const Config& c = Get();
  return c.ready && path && strncmp(path, c.dir, c.dirLength) == 0;
}

bool Tracked(int fd) { return fd >= 0 && fd < kMaxDescriptors && tracked[fd].load(); }

void Mark() {
  const Config& c = Get();
  if (!c.mark) return;
  // A raw system call: the mark must not itself pass through the shim.
  const long fd = syscall(SYS_openat, AT_FDCWD, c.mark, O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
  if (fd >= 0) syscall(SYS_close, fd);
}

// Whether this call of kind `call`, on a path or descriptor of ours, fails.
bool Fails(Call call) {
  const Config& c = Get();
  if (c.call != call && c.call != Call::kAny) return false;
  const long number = seen.fetch_add(1) + 1;
  bool fail = false;
  if (c.probability > 0) {
    static std::mutex mutex;
    std::lock_guard lock(mutex);
    fail = static_cast<long>(rand_r(&config.seed) % 1000) < c.probability;
  } else {
    fail = number == c.nth;
  }
  if (fail) {
    Mark();
    errno = c.error;
  }
  return fail;
}

template <typename F>
F Next(const char* name) {
  return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

int Opened(int fd, const char* path) {
  if (fd >= 0 && fd < kMaxDescriptors) tracked[fd] = Below(path);
  return fd;
}

mode_t ModeOf(int flags, va_list& args) {
  return (flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE ? va_arg(args, mode_t) : 0;
}

}  // namespace

extern "C" {

int open(const char* path, int flags, ...) {
  va_list args;
  va_start(args, flags);
  const mode_t mode = ModeOf(flags, args);
  va_end(args);
  if (Below(path) && Fails(Call::kOpen)) return -1;
  static auto next = Next<int (*)(const char*, int, ...)>("open");
  return Opened(next(path, flags, mode), path);
}

int open64(const char* path, int flags, ...) {
  va_list args;
  va_start(args, flags);
  const mode_t mode = ModeOf(flags, args);
  va_end(args);
  if (Below(path) && Fails(Call::kOpen)) return -1;
  static auto next = Next<int (*)(const char*, int, ...)>("open64");
  return Opened(next(path, flags, mode), path);
}

int openat(int dirfd, const char* path, int flags, ...) {
  va_list args;
  va_start(args, flags);
  const mode_t mode = ModeOf(flags, args);
  va_end(args);
  if (Below(path) && Fails(Call::kOpen)) return -1;
  static auto next = Next<int (*)(int, const char*, int, ...)>("openat");
  return Opened(next(dirfd, path, flags, mode), path);
}

ssize_t read(int fd, void* buffer, size_t count) {
  if (Tracked(fd) && Fails(Call::kRead)) return -1;
  static auto next = Next<ssize_t (*)(int, void*, size_t)>("read");
  return next(fd, buffer, count);
}

ssize_t write(int fd, const void* buffer, size_t count) {
  if (Tracked(fd)) {
    if (Fails(Call::kWrite)) return -1;
    if (Get().call == Call::kShort && count > 3) count = 3;
  }
  static auto next = Next<ssize_t (*)(int, const void*, size_t)>("write");
  return next(fd, buffer, count);
}

int close(int fd) {
  const bool ours = Tracked(fd);
  if (fd >= 0 && fd < kMaxDescriptors) tracked[fd] = false;
  static auto next = Next<int (*)(int)>("close");
  const int result = next(fd);
  // The descriptor is gone either way, as with a real deferred write error.
  if (ours && Fails(Call::kClose)) return -1;
  return result;
}

int fsync(int fd) {
  if (Tracked(fd) && Fails(Call::kFsync)) return -1;
  static auto next = Next<int (*)(int)>("fsync");
  return next(fd);
}

int fdatasync(int fd) {
  if (Tracked(fd) && Fails(Call::kFsync)) return -1;
  static auto next = Next<int (*)(int)>("fdatasync");
  return next(fd);
}

int rename(const char* from, const char* to) {
  if ((Below(from) || Below(to)) && Fails(Call::kRename)) return -1;
  static auto next = Next<int (*)(const char*, const char*)>("rename");
  return next(from, to);
}

int renameat2(int fromDir, const char* from, int toDir, const char* to, unsigned flags) {
  if ((Below(from) || Below(to)) && Fails(Call::kRename)) return -1;
  static auto next = Next<int (*)(int, const char*, int, const char*, unsigned)>("renameat2");
  return next(fromDir, from, toDir, to, flags);
}

int stat(const char* path, struct stat* info) {
  if (Below(path) && Fails(Call::kStat)) return -1;
  static auto next = Next<int (*)(const char*, struct stat*)>("stat");
  return next(path, info);
}

int lstat(const char* path, struct stat* info) {
  if (Below(path) && Fails(Call::kStat)) return -1;
  static auto next = Next<int (*)(const char*, struct stat*)>("lstat");
  return next(path, info);
}

int access(const char* path, int mode) {
  if (Below(path) && Fails(Call::kStat)) return -1;
  static auto next = Next<int (*)(const char*, int)>("access");
  return next(path, mode);
}

}  // extern "C"
