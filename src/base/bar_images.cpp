#include "base/bar_images.h"

#include <QPainter>
#include <QPainterPath>
#include <array>

namespace lumarine {
namespace {

// Colour references of the blue theme row (0x00BBGGRR).
constexpr std::array<unsigned, 5> kBlueTheme = {0xFF0000, 0xFF7F7F, 0xFFBFBF, 0xFFCFCF, 0xFFEFEF};

constexpr std::array<unsigned, 30> kTitleStrip = {
    0xDAD6CF, 0xFFFFFF, 0xFDFDFD, 0xFBFBFA, 0xF9F9F7, 0xF7F7F5, 0xF5F4F2, 0xF3F2F0,
    0xF1F0ED, 0xEFEEEB, 0xEDECE8, 0xEBEAE6, 0xE9E7E3, 0xE7E5E1, 0xE5E3DE, 0xE6E4DF,
    0xE6E4E0, 0xE7E5E1, 0xE8E6E2, 0xE9E7E2, 0xE9E7E3, 0xE9E7E3, 0xE9E7E3, 0xE9E7E3,
    0xE9E7E3, 0xE9E7E3, 0xE9E7E3, 0xE9E7E3, 0xE9E7E3, 0xDAD6CF};

constexpr std::array<unsigned, 23> kHeaderStrip = {
    0xFDF4F5, 0xFEFEFE, 0xFDFDFD, 0xFDFDFD, 0xFCFCFC, 0xFBFBFB, 0xFBFBFB, 0xFAFAFA,
    0xF9F9F9, 0xF8F8FA, 0xF7F7F9, 0xF6F6F8, 0xF5F5F7, 0xF3F4F6, 0xF1F2F4, 0xF2F2F4,
    0xF1F1F3, 0xEEEFF1, 0xEEEFF1, 0xEDEEF2, 0xEBECF1, 0xEBECEE, 0xFFFFFF};

template <size_t N>
QImage VerticalStrip(const std::array<unsigned, N>& rgb) {
  QImage image(1, static_cast<int>(N), QImage::Format_RGB32);
  for (size_t y = 0; y < N; ++y) image.setPixel(0, static_cast<int>(y), 0xFF000000u | rgb[y]);
  return image;
}

}  // namespace

QColor ThemeShade(int shade) {
  const unsigned ref = kBlueTheme.at(static_cast<size_t>(shade));
  return QColor(ref & 0xFF, (ref >> 8) & 0xFF, (ref >> 16) & 0xFF);
}

QImage TitleStripImage() { return VerticalStrip(kTitleStrip); }

QImage HeaderStripImage() { return VerticalStrip(kHeaderStrip); }

QImage AppIconImage(int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  const qreal s = size;
  // A blue tile with a white news sheet and three text lines.
  QPainterPath tile;
  tile.addRoundedRect(QRectF(0.5, 0.5, s - 1, s - 1), s / 6, s / 6);
  painter.fillPath(tile, ThemeShade(0));
  painter.setPen(Qt::NoPen);
  painter.setBrush(Qt::white);
  painter.drawRect(QRectF(s * 0.22, s * 0.16, s * 0.56, s * 0.68));
  painter.setBrush(ThemeShade(1));
  for (int line = 0; line < 3; ++line)
    painter.drawRect(QRectF(s * 0.30, s * (0.30 + 0.16 * line), s * 0.40, s * 0.07));
  return image;
}

QIcon AppIcon() {
  QIcon icon;
  for (int size : {16, 32, 48}) icon.addPixmap(QPixmap::fromImage(AppIconImage(size)));
  return icon;
}

QFont SongTiFont(int pixelHeight, int weight) {
  QFont font;
  font.setFamilies({QString::fromUtf8("宋体"), "SimSun", "Noto Sans CJK SC", "WenQuanYi Zen Hei"});
  font.setPixelSize(pixelHeight);
  font.setWeight(static_cast<QFont::Weight>(weight));
  return font;
}

}  // namespace lumarine
