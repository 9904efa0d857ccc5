#include "platform/paths.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <optional>

#include "support/scoped_environment.h"
#include "support/temp_dir.h"

namespace lumarine {
namespace {

using test::ScopedEnvironment;
using test::TempDir;

struct DecisionCase {
  const char* name;
  bool writableProfile;
  std::optional<std::string> config;
  std::optional<std::string> cache;
  ProgramLocations expected;

  friend void PrintTo(const DecisionCase& c, std::ostream* os) { *os << c.name; }
};

class ProgramLocationsTest : public testing::TestWithParam<DecisionCase> {};

TEST_P(ProgramLocationsTest, DecidesBesideTheExecutableOrInTheXdgDirectories) {
  const DecisionCase& c = GetParam();
  const ProgramLocations got =
      DecideProgramLocations({"/opt/bar/bin", c.writableProfile, c.config, c.cache, "/home/u"});
  EXPECT_EQ(got.profileBase, c.expected.profileBase);
  EXPECT_EQ(got.dataDirectory, c.expected.dataDirectory);
  EXPECT_EQ(got.installed, c.expected.installed);
}

const ProgramLocations kInstalledHome{"/home/u/.config/lumarine", "/home/u/.cache/lumarine", true};

INSTANTIATE_TEST_SUITE_P(
    Cases, ProgramLocationsTest,
    testing::Values(
        // A writable profile/ wins over whatever the environment says.
        DecisionCase{"portable", true, "/x/c", "/x/k", {"/opt/bar/bin", "/opt/bar/bin", false}},
        DecisionCase{"unset", false, std::nullopt, std::nullopt, kInstalledHome},
        DecisionCase{"set", false, "/x/c", "/x/k/", {"/x/c/lumarine", "/x/k/lumarine", true}},
        // Empty or relative values are invalid by the XDG rules and are ignored.
        DecisionCase{"empty or relative", false, "", "cache", kInstalledHome}));

TEST(ProgramLocationsProbeTest, OnlyAWritableDirectoryCounts) {
  TempDir dir;
  EXPECT_FALSE(IsWritableDirectory(dir.File("missing")));
  dir.Write("profile", "a file, not a directory");
  EXPECT_FALSE(IsWritableDirectory(dir.File("profile")));
  dir.Write("tree/profile/x", "");
  EXPECT_TRUE(IsWritableDirectory(dir.File("tree/profile")));
  if (geteuid() == 0) GTEST_SKIP() << "root may write into a read-only directory";
  ASSERT_EQ(chmod(dir.File("tree/profile").c_str(), 0555), 0);
  EXPECT_FALSE(IsWritableDirectory(dir.File("tree/profile")));
  chmod(dir.File("tree/profile").c_str(), 0755);
}

TEST(ProgramLocationsProbeTest, EveryPathOfTheProgramFollowsTheDecision) {
  // The test binary has no profile/ beside it, so it is placed like an installed program.
  TempDir dir;
  ScopedEnvironment config("XDG_CONFIG_HOME", dir.File("config"));
  ScopedEnvironment cache("XDG_CACHE_HOME", dir.File("cache"));
  ASSERT_FALSE(IsWritableDirectory(ExecutableDirectory() + "/profile"));
  EXPECT_EQ(ProfileFilePath("/profile/sysopt.ini"), dir.File("config/lumarine/profile/sysopt.ini"));
  EXPECT_EQ(DataDirectory(), dir.File("cache/lumarine"));
  EXPECT_EQ(XdgConfigHome(), dir.File("config"));
  {
    test::ScopedProgramDirectory program;
    EXPECT_EQ(ProfileFilePath("/profile/sysopt.ini"), program.Profile("sysopt.ini"));
    EXPECT_EQ(DataDirectory(), program.Path());
  }
  EXPECT_EQ(DataDirectory(), dir.File("cache/lumarine"));
}

}  // namespace
}  // namespace lumarine
