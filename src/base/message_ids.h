#pragma once

// Window messages of the program, numbered WM_USER + n as the desktop numbered them. In the Qt
// build a message is a posted event of type QEvent::User + n (QEvent::User is 1000), so the
// numbers here stay free of Qt and the core can name them too.
namespace lumarine {

inline constexpr int kWmUser = 1000;
constexpr int UserMessage(int n) { return kWmUser + n; }

// A command (menu entry, button, key) posted to a window; payload: the command id.
inline constexpr int kMsgCommand = UserMessage(0);
// Desktop-toolbar notification from the shell; the bar ignores it.
inline constexpr int kMsgAppBarNotify = UserMessage(19);
// The subject tree's requests to the subject bar (101, 109, 110, 111) are calls of
// SubjectTreeOwner; the numbers name them as the desktop numbered them.
inline constexpr int kMsgOpenSubject = UserMessage(101);
inline constexpr int kMsgUnreadReady = UserMessage(103);
// A label button was pressed; second parameter: the button's kind.
inline constexpr int kMsgLabelButton = UserMessage(104);
inline constexpr int kMsgChannelSubscription = UserMessage(105);
inline constexpr int kMsgInsertNewsRow = UserMessage(106);
inline constexpr int kMsgToggleSubjectBar = UserMessage(107);
inline constexpr int kMsgToggleChannelBar = UserMessage(108);
inline constexpr int kMsgBlogSearch = UserMessage(109);
inline constexpr int kMsgTreeDrop = UserMessage(110);
inline constexpr int kMsgEditSubject = UserMessage(111);
// Notification icon mouse event.
inline constexpr int kMsgTrayNotify = UserMessage(112);
// A refresh pass stored new rows; the channel bar hands it on to the main frame.
inline constexpr int kMsgNewsStored = UserMessage(113);

}  // namespace lumarine
