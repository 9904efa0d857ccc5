#include "base/panel_header.h"

#include <QFont>
#include <QImage>

#include "base/bar_images.h"

namespace lumarine {
namespace {

const QFont* applicationFont = nullptr;
const QImage* applicationBitmap = nullptr;

}  // namespace

const QFont& PanelHeader::Font() {
  if (applicationFont) return *applicationFont;
  static const QFont processCopy = SongTiFont(12, 100);
  return processCopy;
}

const QImage& PanelHeader::Bitmap() {
  if (applicationBitmap && !applicationBitmap->isNull()) return *applicationBitmap;
  static const QImage processCopy = HeaderStripImage();
  return processCopy;
}

void PanelHeader::Use(const QFont* font, const QImage* bitmap) {
  applicationFont = font;
  applicationBitmap = bitmap;
}

}  // namespace lumarine
