#include "app/edge_sentinel.h"

#include <QEvent>
#include <QPainter>

#include "app/all_desktops_keeper.h"
#include "app/x11_dock_properties.h"

namespace lumarine {

EdgeSentinel::EdgeSentinel()
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::Tool | Qt::WindowStaysOnTopHint |
                           Qt::WindowDoesNotAcceptFocus) {
  setWindowTitle("Lumarine edge");
  setAttribute(Qt::WA_ShowWithoutActivating);
  setAttribute(Qt::WA_OpaquePaintEvent);
  new AllDesktopsKeeper(this);  // owned by this window
}

bool EdgeSentinel::event(QEvent* event) {
  if (event->type() == QEvent::Show && !event->spontaneous()) x11::PrepareDockWindow(this);
  if (event->type() == QEvent::Enter) emit Touched();
  return QWidget::event(event);
}

void EdgeSentinel::paintEvent(QPaintEvent*) {
  // The grey of the bar's own edge line: a hint of where it went.
  QPainter(this).fillRect(rect(), QColor(0xC8, 0xC8, 0xC8));
}

}  // namespace lumarine
