#include "platform/file_io.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace lumarine {
namespace {

using test::TempDir;

std::vector<std::string> Names(const std::string& directory) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(directory))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(FileIoTest, ReplacingWritesThroughALinkAndLeavesNothingElse) {
  TempDir dir;
  dir.Write("real.ini", "old");
  ASSERT_EQ(symlink("real.ini", dir.File("link.ini").c_str()), 0);
  ASSERT_TRUE(ReplaceFileContents(dir.File("link.ini"), "new"));
  EXPECT_EQ(dir.Read("real.ini"), "new");
  EXPECT_TRUE(std::filesystem::is_symlink(dir.File("link.ini")));
  EXPECT_EQ(Names(dir.Path()), (std::vector<std::string>{"link.ini", "real.ini"}));
}

TEST(FileIoTest, AFailedReplacementLeavesTheTargetAndNoTemporaryFile) {
  TempDir dir;
  ASSERT_EQ(mkdir(dir.File("target").c_str(), 0755), 0);  // rename cannot put a file here
  EXPECT_FALSE(ReplaceFileContents(dir.File("target"), "bytes"));
  EXPECT_FALSE(ReplaceFileContents(dir.File("missing/x"), "bytes"));
  EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"target"});
}

TEST(FileIoTest, OnlyNoSuchFileIsAbsent) {
  TempDir dir;
  dir.Write("file", "abc");
  ASSERT_EQ(symlink("loop", dir.File("loop").c_str()), 0);
  ASSERT_EQ(mkdir(dir.File("folder").c_str(), 0755), 0);
  EXPECT_EQ(ProbeFile(dir.File("file")), FileState::kPresent);
  EXPECT_EQ(ProbeFile(dir.File("none")), FileState::kAbsent);
  EXPECT_EQ(ProbeFile(dir.File("loop")), FileState::kUnknown);
  EXPECT_EQ(ProbeFile(dir.File("file/below")), FileState::kUnknown);

  EXPECT_EQ(ReadFileContents(dir.File("file")).bytes, "abc");
  EXPECT_EQ(ReadFileContents(dir.File("none")).result, FileContents::Result::kAbsent);
  for (const char* name : {"loop", "folder", "file/below"})
    EXPECT_EQ(ReadFileContents(dir.File(name)).result, FileContents::Result::kFailed) << name;
  EXPECT_EQ(ReadFileContents(dir.File("file"), 2).result, FileContents::Result::kFailed);
}

TEST(FileIoTest, AStartRemovesOnlyItsOwnDebrisOfEarlierRuns) {
  TempDir dir;
  const std::string dead = "999999999";  // above any process id the kernel hands out
  const std::string alive = std::to_string(getppid());
  const std::vector<std::string> debris = {"sysopt.ini.tmp" + dead + "_0",
                                           "lumarine.desktop.partial", "qixchannel.ini.new",
                                           "subject.htm.part" + dead + "_3"};
  const std::vector<std::string> kept = {"sysopt.ini", "notes.tmp", "a.tmp12_x",
                                         "sysopt.ini.tmp" + alive + "_0",
                                         "b.ini.tmp" + dead + "_1"};
  for (const auto& names : {debris, kept})
    for (const std::string& name : names) dir.Write(name, "x");
  // Written before this run began, all but one, which a writer of this run just made.
  const utimbuf old{1, 1};
  for (const auto& names : {debris, kept})
    for (const std::string& name : names)
      if (name != kept.back()) utime(dir.File(name).c_str(), &old);

  EXPECT_EQ(RemoveStaleTemporaryFiles(dir.Path(), "x"), 0u);
  EXPECT_EQ(RemoveStaleTemporaryFiles(dir.Path()), debris.size());
  std::vector<std::string> expected = kept;
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(Names(dir.Path()), expected);
}

}  // namespace
}  // namespace lumarine
