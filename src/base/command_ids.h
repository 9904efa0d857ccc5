#pragma once

// Command ids of menus, buttons and keys, with their numeric values.
namespace lumarine {

// Channel bar: the CHANNEL menu. The main frame posts the two scroll commands for the arrow
// keys. kCmdScrollDown moves the view further down the page (scroll position + 30).
inline constexpr int kCmdRefreshChannel = 32772;
inline constexpr int kCmdScrollDown = 32773;
inline constexpr int kCmdScrollUp = 32774;
inline constexpr int kCmdManageChannels = 32775;
inline constexpr int kCmdCloseChannelBar = 32776;
inline constexpr int kCmdExportChannelsOpml = 32786;
inline constexpr int kCmdFontSmaller = 32782;
inline constexpr int kCmdFontLarger = 32787;
// Channel bar: the channel menu numbers its channels from here; the entry after the last
// channel shows all channels.
inline constexpr int kCmdFirstChannel = 4001;

// Main frame.
inline constexpr int kCmdToggleSubjectBar = 32789;
inline constexpr int kCmdToggleChannelBar = 32790;
inline constexpr int kCmdSwitchDockSide = 32794;
inline constexpr int kCmdAutoHide = 32795;
inline constexpr int kCmdSettings = 32796;
// Start at login: writes or removes the autostart entry; checked while it exists.
inline constexpr int kCmdAutoStart = 32797;
inline constexpr int kCmdExit = 32798;
inline constexpr int kCmdRestore = 32799;
inline constexpr int kCmdAbout = 57664;

// Subject bar (its SUBJECT menu and the commands the subject tree sends it).
inline constexpr int kCmdRefreshAllSubjects = 32777;
inline constexpr int kCmdNewKeywordSubject = 32778;
inline constexpr int kCmdDeleteSubject = 32779;
inline constexpr int kCmdImportOpml = 32780;
inline constexpr int kCmdCloseSubjectBar = 32781;
inline constexpr int kCmdExportOpml = 32785;
inline constexpr int kCmdNewFeedSubject = 32792;
inline constexpr int kCmdNewSubjectGroup = 32793;

// Subject tree context menu.
inline constexpr int kCmdTreeBlogComments = 5001;
inline constexpr int kCmdTreeFontLarger = 5002;
inline constexpr int kCmdTreeFontSmaller = 5003;
inline constexpr int kCmdTreeNewSubject = 42768;
inline constexpr int kCmdTreeDeleteSubject = 42770;
inline constexpr int kCmdTreeTextColour = 42789;
inline constexpr int kCmdTreeProperties = 52799;

}  // namespace lumarine
