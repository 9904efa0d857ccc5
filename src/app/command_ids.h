#pragma once

// Command ids of menus, buttons and keys, with their numeric values.
namespace lumarine {

// Channel bar scrolling; the main frame posts them for the arrow keys.
inline constexpr int kCmdScrollDown = 32773;
inline constexpr int kCmdScrollUp = 32774;

// Main frame.
inline constexpr int kCmdToggleSubjectBar = 32789;
inline constexpr int kCmdToggleChannelBar = 32790;
inline constexpr int kCmdSwitchDockSide = 32794;
inline constexpr int kCmdAutoHide = 32795;
inline constexpr int kCmdSettings = 32796;
inline constexpr int kCmdExit = 32798;
inline constexpr int kCmdRestore = 32799;
inline constexpr int kCmdAbout = 57664;

}  // namespace lumarine
