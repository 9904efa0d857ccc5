#include "platform/working_set.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace lumarine {
namespace {

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

long ResidentFileKb() {
  std::ifstream status("/proc/self/status");
  std::string key;
  long value = 0;
  while (status >> key) {
    if (key == "RssFile:") return (status >> value) ? value : -1;
    status.ignore(1 << 16, '\n');
  }
  return -1;
}

// This test program's own code is mapped by no other process: trimming drops it, and the
// program goes on running, reading back what it needs.
TEST(WorkingSetTest, TrimmingDropsResidentCodeAndTheProgramRunsOn) {
  const long before = ResidentFileKb();
  const std::size_t advised = TrimWorkingSet();
  if (advised == 0) GTEST_SKIP() << "this kernel cannot page out (older than 5.4)";
  const long after = ResidentFileKb();
  EXPECT_LT(after, before);
  EXPECT_EQ(TrimmableMappings("").size(), 0u);
}

}  // namespace
}  // namespace lumarine
