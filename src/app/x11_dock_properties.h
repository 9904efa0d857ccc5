#pragma once

#include <QRect>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <optional>
#include <vector>

#include "app/dock_strut.h"

namespace lumarine {

// The X11 side of reserving a screen strip for the bar: the window becomes a dock window and
// _NET_WM_STRUT_PARTIAL (and _NET_WM_STRUT) ask the window manager to keep other windows
// out of the strip. Without an X11 connection (another platform plugin) nothing happens.
namespace x11 {

enum class Edge { kLeft, kRight };

// Makes the window a dock window that no taskbar or pager lists and that stays on every
// workspace. Window managers read these when they take the window on, so this must run while
// the window is not mapped (before every show: a window manager drops the states and the
// workspace of a window that is unmapped). The type is kept while the bar hides: a dock may
// leave the screen entirely, where a window manager keeps part of an ordinary window on it.
void PrepareDockWindow(QWidget* window);

// Asks the window manager to show a mapped window on every workspace: the _NET_WM_DESKTOP
// and _NET_WM_STATE (sticky) client messages to the root window, as for a window it manages.
void AskForAllDesktops(QWidget* window);
// Whether an event from the X connection (an xcb_generic_event_t) tells that the window
// manager changed the window's workspace.
bool IsDesktopChange(const void* xcbEvent, QWidget* window);
// The value of _NET_WM_DESKTOP that means every workspace.
constexpr std::uint32_t kAllDesktops = 0xFFFFFFFF;

// Writes _NET_WM_STRUT_PARTIAL and _NET_WM_STRUT (device pixels, from the root's edges).
bool SetDockReservation(QWidget* window, const StrutValues& strut);
void ClearDockReservation(QWidget* window);

// Width of the root window in device pixels, when there is an X11 connection.
std::optional<int> RootWidth(QWidget* window);

// Draws a one-pixel rectangle outline over everything on the screen with XOR, so drawing the
// same rectangle again erases it.
void XorScreenOutline(const QRect& rect);

// Read back for checks: the 32-bit values of a CARDINAL property (empty when absent) and the
// names of the atoms of an ATOM property.
std::vector<std::uint32_t> ReadCardinals(QWidget* window, const char* property);
std::vector<QString> ReadAtomNames(QWidget* window, const char* property);
bool IsMapped(QWidget* window);

}  // namespace x11
}  // namespace lumarine
