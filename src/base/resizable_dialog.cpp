#include "base/resizable_dialog.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSizeGrip>
#include <QWindow>

#include "base/dock_side.h"
#include "base/window_placement.h"
#include "platform/settings.h"

namespace lumarine {

ResizableDialog::ResizableDialog(QWidget* parent, Qt::WindowFlags flags) : QWidget(parent, flags) {}

ResizableDialog::~ResizableDialog() {
  if (savePlacement_) SavePlacement();
  anchors_.clear();
}

void ResizableDialog::InitDialog() {
  gripRect_ = ComputeGripRect();
  minTrackSize_ = size();
  // Only a window has a tracking size; a panel is placed by its frame.
  if (isWindow() && useMinTrack_) setMinimumSize(minTrackSize_);
  initialised_ = true;
}

QRect ResizableDialog::ComputeGripRect() const {
  const int extent = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
  return QRect(width() - extent, height() - extent, extent, extent);
}

void ResizableDialog::AddAnchor(QWidget* child, AnchorPoint topLeft, AnchorPoint bottomRight) {
  if (child == nullptr) return;
  Anchor anchor;
  anchor.child = child;
  // Item views may need a repaint after a width change scrolls them; text labels always
  // repaint so their text is never left half drawn.
  anchor.scrollRefresh = qobject_cast<QAbstractItemView*>(child) != nullptr;
  anchor.repaint = qobject_cast<QLabel*>(child) != nullptr;

  // The child gives up one pixel on the side that faces the middle of the screen.
  QRect r = child->geometry();
  int left = r.left();
  int right = r.left() + r.width();
  if (DockedAtLeft().value_or(true))
    --right;
  else
    ++left;
  const int top = r.top();
  const int bottom = r.top() + r.height();

  if (bottomRight == kNoAnchor) bottomRight = topLeft;
  const int w = width();
  const int h = height();
  anchor.topLeft = topLeft;
  anchor.bottomRight = bottomRight;
  anchor.topLeftMargin = {left - w * topLeft.x / 100, top - h * topLeft.y / 100};
  anchor.bottomRightMargin = {right - w * bottomRight.x / 100, bottom - h * bottomRight.y / 100};
  anchors_.push_back(anchor);
}

void ResizableDialog::ArrangeLayout() {
  update(gripRect_);
  gripRect_ = ComputeGripRect();
  update(gripRect_);
  const int w = width();
  const int h = height();
  for (Anchor& anchor : anchors_) {
    if (!anchor.child) continue;
    const int left = w * anchor.topLeft.x / 100 + anchor.topLeftMargin.x();
    const int top = h * anchor.topLeft.y / 100 + anchor.topLeftMargin.y();
    const int right = w * anchor.bottomRight.x / 100 + anchor.bottomRightMargin.x();
    const int bottom = h * anchor.bottomRight.y / 100 + anchor.bottomRightMargin.y();
    const QRect target(left, top, right - left, bottom - top);
    const QRect current = anchor.child->geometry();
    if (target == current) continue;
    if (anchor.scrollRefresh) {
      auto* view = static_cast<QAbstractItemView*>(anchor.child.data());
      const QScrollBar* bar = view->horizontalScrollBar();
      const int widthChange = target.width() - current.width();
      anchor.repaint = bar->maximum() > 0 && bar->value() > bar->maximum() - widthChange;
    }
    anchor.child->setGeometry(target);
  }
  for (const Anchor& anchor : anchors_)
    if (anchor.child && anchor.repaint) anchor.child->update();
}

void ResizableDialog::ShowSizeGrip(bool show) {
  if (show == showGrip_) return;
  showGrip_ = show;
  update(gripRect_);
}

void ResizableDialog::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (initialised_) ArrangeLayout();
}

void ResizableDialog::paintEvent(QPaintEvent* event) {
  QWidget::paintEvent(event);
  if (!showGrip_ || isMaximized()) return;
  QPainter painter(this);
  QStyleOptionSizeGrip option;
  option.initFrom(this);
  option.rect = gripRect_;
  option.corner = Qt::BottomRightCorner;
  style()->drawControl(QStyle::CE_SizeGrip, &option, &painter, this);
}

void ResizableDialog::mousePressEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  if (showGrip_ && isWindow() && p.x() >= 0 && p.y() >= 0 && gripRect_.contains(p) &&
      windowHandle() != nullptr) {
    windowHandle()->startSystemResize(Qt::BottomEdge | Qt::RightEdge);
    return;
  }
  QWidget::mousePressEvent(event);
}

void ResizableDialog::EnableSaveRestore(std::string section, std::string entry) {
  placementSection_ = std::move(section);
  placementEntry_ = std::move(entry);
  savePlacement_ = true;
  RestorePlacement();
}

void ResizableDialog::SavePlacement() {
  const QRect r = isWindow() ? normalGeometry() : geometry();
  WindowPlacement placement{r.left(),
                            r.top(),
                            r.left() + r.width(),
                            r.top() + r.height(),
                            isMaximized() ? 3 : (isMinimized() ? 2 : 1),
                            0};
  Settings::Write(placementSection_, placementEntry_, FormatWindowPlacement(placement));
}

void ResizableDialog::RestorePlacement() {
  const auto placement = ParseWindowPlacement(
      Settings::ReadString(placementSection_, placementEntry_, "", Settings::kHomeServerCapacity));
  if (!placement) return;
  setGeometry(placement->left, placement->top, placement->right - placement->left,
              placement->bottom - placement->top);
  if (placement->showCommand == 3 && isWindow()) setWindowState(Qt::WindowMaximized);
}

}  // namespace lumarine
