#pragma once

class QFont;
class QImage;

namespace lumarine {

// What the panels paint their headers with: the font and bitmap 139 the application owns
// while it runs, or, for panels shown without a started application, one copy made for the
// process. GUI thread only.
class PanelHeader {
 public:
  static const QFont& Font();
  static const QImage& Bitmap();
  // The application hands its own in once made, and takes them back (null) before they go.
  static void Use(const QFont* font, const QImage* bitmap);
};

}  // namespace lumarine
