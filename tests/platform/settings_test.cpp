#include "platform/settings.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace lumarine {
namespace {

using test::ScopedProgramDirectory;

TEST(SettingsTest, EmptyProfileGivesTheDefaults) {
  ScopedProgramDirectory program;
  EXPECT_TRUE(Settings::DockLeft());
  EXPECT_FALSE(Settings::SubjectBarHidden());
  EXPECT_FALSE(Settings::ChannelBarHidden());
  EXPECT_FALSE(Settings::AutoHide());
  EXPECT_EQ(Settings::ChannelFontSize(), 13);
  EXPECT_EQ(Settings::SubjectFontSize(Settings::kSubjectFontAtStart), 9);
  EXPECT_EQ(Settings::SubjectTextColor(), 0xFF0000);
  EXPECT_EQ(Settings::SubjectFeedTemplate(), Settings::kGoogleNewsTemplate);
  EXPECT_EQ(Settings::UpdateSubjectFeed(), Settings::kBaiduNewsTemplate);
  EXPECT_EQ(Settings::SiteName(), "lumarine");
  EXPECT_EQ(Settings::SetupInfo(), 0);
  EXPECT_EQ(Settings::ChannelVersion(), 0);
  EXPECT_EQ(Settings::SubjectFeedVersion(), 0);
  EXPECT_EQ(Settings::HomeServer(), "");
  EXPECT_TRUE(Settings::Notify());
}

TEST(SettingsTest, DockSideFollowsTheLeadingDigits) {
  ScopedProgramDirectory program;
  for (const auto& [text, left] :
       {std::pair{"0", false}, {"2", true}, {"abc", false}, {"1", true}, {"", false}}) {
    program.WriteProfile("sysopt.ini", std::string("[main]\nleft=") + text + "\n");
    EXPECT_EQ(Settings::DockLeft(), left) << "left=" << text;
  }
}

TEST(SettingsTest, WritesAreSeenByTheNextReadAndUseFlagTexts) {
  ScopedProgramDirectory program;
  Settings::SetDockLeft(false);
  Settings::SetAutoHide(true);
  Settings::SetSubjectBarHidden(true);
  Settings::SetSetupInfo(Settings::kInstallReported);
  EXPECT_FALSE(Settings::DockLeft());
  EXPECT_TRUE(Settings::AutoHide());
  EXPECT_EQ(Settings::SetupInfo(), 888);
  EXPECT_EQ(program.ReadProfile("sysopt.ini"),
            "[main]\r\nleft=0\r\nbSlibing=1\r\nbSubHide=1\r\n[setting]\r\nsetupinfo=888\r\n");
}

TEST(SettingsTest, NotifyIsOffOnlyForZeroAndIsWrittenAsAFlag) {
  ScopedProgramDirectory program;
  for (const auto& [text, on] : {std::pair{"0", false}, {"1", true}, {"2", true}, {"", false}}) {
    program.WriteProfile("sysopt.ini", std::string("[setting]\nnotify=") + text + "\n");
    EXPECT_EQ(Settings::Notify(), on) << "notify=" << text;
  }
  Settings::SetNotify(false);
  EXPECT_EQ(program.ReadProfile("sysopt.ini"), "[setting]\nnotify=0\n");
}

TEST(SettingsTest, SubjectFeedTemplateKeepsAtMost499Characters) {
  ScopedProgramDirectory program;
  Settings::SetSubjectFeedTemplate(std::string(600, 'a'));
  EXPECT_EQ(Settings::SubjectFeedTemplate(), std::string(499, 'a'));
}

TEST(SettingsTest, MissingProfileDirectoryReadsDefaultsAndLosesWritesQuietly) {
  ScopedProgramDirectory program;
  std::filesystem::remove_all(program.Path() + "/profile");
  Settings::SetChannelFontSize(15);
  EXPECT_EQ(Settings::ChannelFontSize(), 13);
}

}  // namespace
}  // namespace lumarine
