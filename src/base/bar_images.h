#pragma once

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QImage>

namespace lumarine {

// Colours of the frame's drawing: the blue theme row, shades 0 (darkest) to 4 (lightest).
QColor ThemeShade(int shade);

// Bitmap 137: the 1 x 30 strip stretched across the title band.
QImage TitleStripImage();

// Bitmap 139: the 1 x 23 header strip of both panels.
QImage HeaderStripImage();

// Icon 128: the application icon (tray, About dialog).
QIcon AppIcon();
QImage AppIconImage(int size);

// A "宋体" font of `pixelHeight` pixels and the desktop weight `weight` (100 thin ... 700 bold).
QFont SongTiFont(int pixelHeight, int weight);

}  // namespace lumarine
