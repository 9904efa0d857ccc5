#include "app/autostart_entry.h"

#include <gtest/gtest.h>

#include "support/scoped_environment.h"
#include "support/temp_dir.h"

namespace lumarine {
namespace {

using test::ScopedEnvironment;
using test::TempDir;

TEST(AutostartEntryTest, QuotesTheExecutableByTheDesktopEntryRules) {
  const std::pair<std::string, std::string> cases[] = {
      {"/usr/bin/lumarine", R"("/usr/bin/lumarine")"},
      {"/home/u/my bar/lumarine", R"("/home/u/my bar/lumarine")"},
      // '$' and '"' take one backslash, which the value escaping then doubles.
      {R"(/t/a"b$c/lumarine)", R"("/t/a\\"b\\$c/lumarine")"},
      {R"(/t/back\slash)", R"("/t/back\\\\slash")"},
      {"/t/100%/lumarine", R"("/t/100%%/lumarine")"},
  };
  for (const auto& [path, quoted] : cases) EXPECT_EQ(AutostartEntry::QuoteExec(path), quoted);
}

TEST(AutostartEntryTest, WritesAndRemovesTheEntryInTheUsersAutostartDirectory) {
  TempDir dir;
  ScopedEnvironment config("XDG_CONFIG_HOME", dir.File("config"));
  EXPECT_EQ(AutostartEntry::FilePath(), dir.File("config/autostart/lumarine.desktop"));
  ASSERT_TRUE(AutostartEntry::Write("/opt/my bar/lumarine"));
  const std::string text = dir.Read("config/autostart/lumarine.desktop");
  EXPECT_TRUE(text.starts_with("[Desktop Entry]\nType=Application\n")) << text;
  EXPECT_NE(text.find("\nExec=\"/opt/my bar/lumarine\"\n"), std::string::npos) << text;
  EXPECT_TRUE(AutostartEntry::Remove());
  EXPECT_FALSE(AutostartEntry::Exists());
  // A path with a line break would add lines of its own to the entry.
  EXPECT_FALSE(AutostartEntry::Write("/t/x\nExec=/bin/evil"));
  EXPECT_FALSE(AutostartEntry::Exists());
  dir.Write("blocked", "");
  ScopedEnvironment blocked("XDG_CONFIG_HOME", dir.File("blocked"));
  EXPECT_FALSE(AutostartEntry::Write("/usr/bin/lumarine"));
}

}  // namespace
}  // namespace lumarine
