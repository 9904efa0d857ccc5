#include "base/label_button.h"

#include <QMouseEvent>
#include <QPainter>

#include "base/bar_images.h"
#include "base/message_ids.h"
#include "base/user_message_event.h"

namespace lumarine {
namespace {

constexpr QRgb kHoverFrame = 0xD2D2D2;
constexpr QRgb kArrowDark = 0x7F8081;  // colour reference 0x81807F
constexpr QRgb kArrowLight = 0xC8C8C8;

}  // namespace

LabelButton::LabelButton(QWidget* parent) : QWidget(parent) {
  // Transparent: the parent's background shows through, so no frame pixels outlive a hover.
  setAutoFillBackground(false);
  setMouseTracking(true);
}

void LabelButton::SetKind(int kind) {
  kind_ = kind;
  update();
}

void LabelButton::SetText(const QString& text) {
  text_ = text;
  update();
}

void LabelButton::paintEvent(QPaintEvent*) {
  if (kind_ == kTextWithArrow && text_.isEmpty()) return;
  QPainter painter(this);
  if (hovering_) {
    painter.setPen(QColor(kHoverFrame));
    painter.drawRect(0, 0, width() - 1, height() - 1);
  }
  switch (kind_) {
    case kTextWithArrow: {
      painter.setFont(SongTiFont(12, 100));
      painter.setPen(Qt::black);
      painter.drawText(QRect(1, 3, width(), height()), Qt::AlignLeft | Qt::AlignTop, text_);
      const QColor dark(kArrowDark);
      painter.fillRect(QRect(72, 8, 7, 1), dark);
      painter.fillRect(QRect(73, 9, 5, 1), dark);
      painter.fillRect(QRect(74, 10, 3, 1), dark);
      painter.fillRect(QRect(75, 11, 1, 1), dark);
      painter.fillRect(QRect(75, 12, 1, 1), QColor(kArrowLight));
      break;
    }
    case kMenu:
      for (int y : {3, 7}) {
        constexpr int kChevron[10][2] = {{3, 0}, {3, 1}, {4, 1}, {4, 2}, {5, 2},
                                         {5, 3}, {6, 2}, {6, 1}, {7, 1}, {7, 0}};
        for (const auto& [x, dy] : kChevron) painter.fillRect(QRect(x, y + dy, 1, 1), Qt::black);
      }
      break;
    case kPlain:
      // A plain button shows its text as the static text it is (the panels' "搜索").
      if (!text_.isEmpty()) {
        painter.setFont(SongTiFont(12, 400));
        painter.setPen(Qt::black);
        painter.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter, text_);
      }
      break;
    default:
      break;
  }
}

void LabelButton::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && parentWidget())
    PostUserMessage(parentWidget(), kMsgLabelButton, 0, kind_);
  QWidget::mousePressEvent(event);
}

void LabelButton::mouseMoveEvent(QMouseEvent* event) {
  if (!hovering_ && !(event->buttons() & Qt::LeftButton)) {
    hovering_ = true;
    update();
  }
  QWidget::mouseMoveEvent(event);
}

void LabelButton::leaveEvent(QEvent* event) {
  hovering_ = false;
  update();
  QWidget::leaveEvent(event);
}

}  // namespace lumarine
