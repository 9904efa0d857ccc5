#include "app/tray_badge.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include "base/bar_images.h"
#include "base/news_notice.h"

namespace lumarine {
namespace {

constexpr QRgb kBadgeRed = 0xD32F2F;

}  // namespace

QImage TrayBadge::Image(int size, int unread) {
  QImage image = AppIconImage(size);
  const QString text = QString::fromStdString(NewsNotice::BadgeText(unread));
  if (text.isEmpty()) return image;
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  QFont font;
  font.setPixelSize(std::max(6, size * 9 / 20));
  font.setBold(true);
  painter.setFont(font);
  // A pill just wide enough for the text, at most the icon's width, in the lower right corner.
  const qreal height = size * 0.55;
  const qreal width =
      std::min<qreal>(size, std::max(height, painter.fontMetrics().horizontalAdvance(text) + 4.0));
  const QRectF badge(size - width, size - height, width, height);
  QPainterPath pill;
  pill.addRoundedRect(badge, height / 2, height / 2);
  painter.fillPath(pill, QColor(kBadgeRed));
  painter.setPen(Qt::white);
  painter.drawText(badge, Qt::AlignCenter, text);
  return image;
}

QIcon TrayBadge::Icon(int unread) {
  if (NewsNotice::BadgeText(unread).empty()) return AppIcon();
  QIcon icon;
  for (int size : {16, 32, 48}) icon.addPixmap(QPixmap::fromImage(Image(size, unread)));
  return icon;
}

}  // namespace lumarine
