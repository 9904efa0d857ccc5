#include "platform/settings.h"

#include "platform/paths.h"
#include "platform/profile_file.h"

namespace lumarine {
namespace {

ProfileFile SysOpt() { return ProfileFile(Settings::FilePath()); }

const char* Flag(bool on) { return on ? "1" : "0"; }

}  // namespace

std::string Settings::FilePath() { return ProfileFilePath("/profile/sysopt.ini"); }

int Settings::ReadInt(std::string_view section, std::string_view key, int defaultValue) {
  return SysOpt().GetInt(section, key, defaultValue);
}

std::string Settings::ReadString(std::string_view section, std::string_view key,
                                 std::string_view defaultValue, size_t capacity) {
  return SysOpt().GetString(section, key, defaultValue, capacity);
}

bool Settings::Write(std::string_view section, std::string_view key, std::string_view value) {
  return SysOpt().WriteString(section, key, value);
}

bool Settings::DockLeft() { return ReadInt("main", "left", 1) != 0; }
void Settings::SetDockLeft(bool left) { Write("main", "left", Flag(left)); }
bool Settings::SubjectBarHidden() { return ReadInt("main", "bSubHide", 0) != 0; }
void Settings::SetSubjectBarHidden(bool hidden) { Write("main", "bSubHide", Flag(hidden)); }
bool Settings::ChannelBarHidden() { return ReadInt("main", "bChannelHide", 0) != 0; }
void Settings::SetChannelBarHidden(bool hidden) { Write("main", "bChannelHide", Flag(hidden)); }
bool Settings::AutoHide() { return ReadInt("main", "bSlibing", 0) != 0; }
void Settings::SetAutoHide(bool on) { Write("main", "bSlibing", Flag(on)); }

std::string Settings::SubjectFeedTemplate() {
  return ReadString("setting", "subfeed", kGoogleNewsTemplate, kSubFeedCapacity);
}
void Settings::SetSubjectFeedTemplate(std::string_view value) {
  Write("setting", "subfeed", value);
}
int Settings::SetupInfo() { return ReadInt("setting", "setupinfo", 0); }
void Settings::SetSetupInfo(int value) { Write("setting", "setupinfo", std::to_string(value)); }
std::string Settings::SiteName() {
  return ReadString("setting", "sitename", "lumarine", kSiteNameCapacity);
}
std::string Settings::HomeServer() {
  return ReadString("setting", "homeserver", "", kHomeServerCapacity);
}
bool Settings::Notify() { return ReadInt("setting", "notify", 1) != 0; }
void Settings::SetNotify(bool on) { Write("setting", "notify", Flag(on)); }

int Settings::ChannelVersion() { return ReadInt("ver", "channelver", 0); }
void Settings::SetChannelVersion(int version) {
  Write("ver", "channelver", std::to_string(version));
}
int Settings::SubjectFeedVersion() { return ReadInt("ver", "subfeedver", 0); }
std::string Settings::UpdateSubjectFeed() {
  return ReadString("ver", "subfeed", kBaiduNewsTemplate, kSubFeedCapacity);
}

int Settings::ChannelFontSize() { return ReadInt("channel", "fontsize", kChannelFontDefault); }
void Settings::SetChannelFontSize(int size) { Write("channel", "fontsize", std::to_string(size)); }

int Settings::SubjectFontSize(int defaultValue) {
  return ReadInt("subject", "fontsize", defaultValue);
}
void Settings::SetSubjectFontSize(int size) { Write("subject", "fontsize", std::to_string(size)); }
int Settings::SubjectTextColor() {
  return ReadInt("subject", "textcolor", kSubjectTextColorDefault);
}
void Settings::SetSubjectTextColor(int color) {
  Write("subject", "textcolor", std::to_string(color));
}

}  // namespace lumarine
