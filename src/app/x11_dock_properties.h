#pragma once

#include <QRect>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <vector>

namespace lumarine {

// The X11 side of reserving a screen strip for the bar: the window becomes a dock window and
// _NET_WM_STRUT_PARTIAL (and _NET_WM_STRUT) ask the window manager to keep other windows
// out of the strip. Without an X11 connection (another platform plugin) nothing happens.
namespace x11 {

enum class Edge { kLeft, kRight };

// `strip` is in root window coordinates; it reaches from the screen edge inward.
bool SetDockReservation(QWidget* window, Edge edge, const QRect& strip);
void ClearDockReservation(QWidget* window);

// Draws a one-pixel rectangle outline over everything on the screen with XOR, so drawing the
// same rectangle again erases it.
void XorScreenOutline(const QRect& rect);

// Read back for checks: the 32-bit values of a CARDINAL property (empty when absent) and the
// names of the atoms of an ATOM property.
std::vector<std::uint32_t> ReadCardinals(QWidget* window, const char* property);
std::vector<QString> ReadAtomNames(QWidget* window, const char* property);

}  // namespace x11
}  // namespace lumarine
