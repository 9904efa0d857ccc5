#pragma once

#include <string>
#include <string_view>

namespace lumarine {

// sysopt.ini: every key the program reads or writes, read at the moment of use (nothing is
// cached, so a value written by one window is seen by the next read anywhere) and written at
// once. A missing directory or file reads defaults; a write that fails is silently lost.
class Settings {
 public:
  // Default subject search templates; "%s" stands for the keyword.
  static constexpr std::string_view kGoogleNewsTemplate =
      "https://news.google.com/news?hl=zh-CN&ned=&ie=UTF-8&q=%s&output=rss&ned=cn";
  static constexpr std::string_view kBaiduNewsTemplate =
      "http://news.baidu.com/ns?word=%s&ie=gb2312&cl=2&rn=20&ct=0&tn=newsrss&class=0";

  static constexpr size_t kSubFeedCapacity = 500;
  static constexpr size_t kSiteNameCapacity = 20;
  static constexpr size_t kHomeServerCapacity = 260;

  static constexpr int kChannelFontDefault = 13;
  static constexpr int kSubjectFontAtStart = 9;
  static constexpr int kSubjectFontInCommands = 13;
  static constexpr int kSubjectTextColorDefault = 16711680;  // 0x00BBGGRR: blue
  static constexpr int kInstallReported = 888;

  static std::string FilePath();

  // Generic access, for the few places that name a key directly.
  static int ReadInt(std::string_view section, std::string_view key, int defaultValue);
  static std::string ReadString(std::string_view section, std::string_view key,
                                std::string_view defaultValue, size_t capacity);
  static bool Write(std::string_view section, std::string_view key, std::string_view value);

  // [main]
  static bool DockLeft();  // left: non-zero docks at the left edge
  static void SetDockLeft(bool left);
  static bool SubjectBarHidden();  // bSubHide
  static void SetSubjectBarHidden(bool hidden);
  static bool ChannelBarHidden();  // bChannelHide
  static void SetChannelBarHidden(bool hidden);
  static bool AutoHide();  // bSlibing
  static void SetAutoHide(bool on);

  // [setting]
  static std::string SubjectFeedTemplate();  // subfeed
  static void SetSubjectFeedTemplate(std::string_view value);
  static int SetupInfo();  // setupinfo
  static void SetSetupInfo(int value);
  static std::string SiteName();    // sitename
  static std::string HomeServer();  // homeserver: empty means no home server requests
  // notify: non-zero (the default) announces new news and badges the tray icon.
  static bool Notify();
  static void SetNotify(bool on);

  // [ver]
  static int ChannelVersion();  // channelver
  static void SetChannelVersion(int version);
  static int SubjectFeedVersion();         // subfeedver
  static std::string UpdateSubjectFeed();  // subfeed

  // [channel]
  static int ChannelFontSize();  // fontsize
  static void SetChannelFontSize(int size);

  // [subject]
  static int SubjectFontSize(int defaultValue);  // fontsize: 9 at start, 13 in the commands
  static void SetSubjectFontSize(int size);
  static int SubjectTextColor();  // textcolor, a colour reference 0x00BBGGRR
  static void SetSubjectTextColor(int color);
};

}  // namespace lumarine
