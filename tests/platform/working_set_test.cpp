#include "platform/working_set.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <linux/magic.h>
#include <sys/mman.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <fstream>
#include <string>

#include "support/temp_dir.h"

namespace lumarine {
namespace {

using test::TempDir;

// One mapping header and the lines smaps gives under it.
std::string Mapping(const std::string& header, int anonymousKb = 0) {
  return header + "\nSize:                  8 kB\nRss:                   8 kB\nAnonymous:" +
         std::to_string(anonymousKb) + " kB\nVmFlags: rd mr mw me\n";
}

TEST(WorkingSetTest, OnlyUnchangedPagesOfFilesOnDiskAreTrimmable) {
  const std::string smaps =
      Mapping("7f0000001000-7f0000003000 r-xp 00001000 fe:01 1234  /usr/lib/libQt6Core.so.6") +
      Mapping("7f0000003000-7f0000004000 r--p 00003000 fe:01 1234  /usr/lib/libQt6Core.so.6") +
      // relocated data: read-only again, but its pages are the process's own
      Mapping("7f0000004000-7f0000005000 r--p 00004000 fe:01 1234  /usr/lib/libQt6Core.so.6", 4) +
      Mapping("7f0000005000-7f0000006000 rw-p 00005000 fe:01 1234  /usr/lib/libQt6Core.so.6") +
      Mapping("7f0000006000-7f0000007000 r--s 00000000 00:05 77  /dev/shm/.org.chromium.x") +
      Mapping("7f0000007000-7f0000008000 r--p 00000000 00:01 78  /memfd:frames (deleted)") +
      Mapping("7f0000008000-7f0000009000 r--p 00000000 fe:01 79  /tmp/old.so (deleted)") +
      Mapping("7f0000009000-7f000000a000 ---p 00000000 fe:01 1234  /usr/lib/libQt6Core.so.6") +
      Mapping("7f000000a000-7f000000b000 r--p 00000000 00:00 0  [vvar]") +
      Mapping("7f000000b000-7f000000c000 rw-p 00000000 00:00 0") +
      Mapping("7f000000c000-7f000000e000 r--p 00000000 fe:01 80  /usr/share/fonts/wqy.ttc");
  const std::vector<MappedRange> ranges = TrimmableMappings(smaps);
  ASSERT_EQ(ranges.size(), 3u);
  EXPECT_EQ(ranges[0].begin, 0x7f0000001000u);
  EXPECT_EQ(ranges[0].end, 0x7f0000003000u);
  EXPECT_EQ(ranges[1].begin, 0x7f0000003000u);
  EXPECT_EQ(ranges[2].begin, 0x7f000000c000u);
  EXPECT_EQ(ranges[2].end, 0x7f000000e000u);
  EXPECT_TRUE(TrimmableMappings("").empty());
  EXPECT_TRUE(TrimmableMappings("garbage-line\nAnonymous: 4 kB\n").empty());
}

// Resident kB of the mapping that starts at `begin`, from /proc/self/smaps.
long ResidentKbOfMapping(const void* begin) {
  std::ifstream smaps("/proc/self/smaps");
  std::string line;
  bool inside = false;
  char header[32];
  std::snprintf(header, sizeof header, "%lx-", reinterpret_cast<unsigned long>(begin));
  while (std::getline(smaps, line)) {
    if (line.find('-') != std::string::npos && std::isxdigit(static_cast<unsigned char>(line[0])))
      inside = line.starts_with(header);
    else if (inside && line.starts_with("Rss:"))
      return std::stol(line.substr(4));
  }
  return -1;
}

// A file only this test maps, read through once as start-up reads a library: trimming drops
// its pages, and reading it again gives the same bytes.
TEST(WorkingSetTest, TrimmingDropsPagesOnlyThisProcessMapsAndTheyReadBack) {
  TempDir dir;
  constexpr size_t kBytes = 64 * 4096;
  std::string bytes(kBytes, '\0');
  for (size_t i = 0; i < kBytes; ++i) bytes[i] = static_cast<char>(i * 7);
  dir.Write("library.so", bytes);
  struct statfs where {};
  ASSERT_EQ(statfs(dir.Path().c_str(), &where), 0);
  // Memory-backed files cannot be dropped without swap.
  if (where.f_type == TMPFS_MAGIC) GTEST_SKIP() << "temporary files live in memory here";
  const int fd = open(dir.File("library.so").c_str(), O_RDONLY);
  ASSERT_GE(fd, 0);
  // Clean pages, as a library's are: a page still waiting to be written back cannot be
  // dropped, and on a busy disk the write-back may not have come yet.
  ASSERT_EQ(fsync(fd), 0);
  void* mapped = mmap(nullptr, kBytes, PROT_READ, MAP_PRIVATE, fd, 0);
  close(fd);
  ASSERT_NE(mapped, MAP_FAILED);
  const auto* view = static_cast<const volatile char*>(mapped);
  long sum = 0, expected = 0;
  for (size_t i = 0; i < kBytes; i += 4096) sum += view[i], expected += bytes[i];
  EXPECT_EQ(sum, expected);
  ASSERT_EQ(ResidentKbOfMapping(mapped), static_cast<long>(kBytes / 1024));
  if (TrimWorkingSet() == 0) GTEST_SKIP() << "this kernel cannot page out (older than 5.4)";
  EXPECT_LT(ResidentKbOfMapping(mapped), static_cast<long>(kBytes / 1024) / 2);
  EXPECT_EQ(std::string(static_cast<const char*>(mapped), kBytes), bytes);
  munmap(mapped, kBytes);
}

}  // namespace
}  // namespace lumarine
