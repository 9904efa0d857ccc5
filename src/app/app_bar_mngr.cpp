#include "app/app_bar_mngr.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

#include "app/line_walk.h"
#include "app/settings.h"
#include "app/x11_dock_properties.h"

namespace lumarine {
namespace {

CAppBarMngr* g_dockManager = nullptr;

}  // namespace

CAppBarMngr::CAppBarMngr() : drawOutline(x11::XorScreenOutline) {
  g_dockManager = this;
  slideTimer_.setSingleShot(true);
  slideTimer_.setTimerType(Qt::PreciseTimer);
  connect(&slideTimer_, &QTimer::timeout, this, &CAppBarMngr::SlideStep);
  pointerTimer_.setInterval(kPointerPollMs);
  connect(&pointerTimer_, &QTimer::timeout, this, &CAppBarMngr::TrackPointer);
}

CAppBarMngr::~CAppBarMngr() {
  if (g_dockManager == this) g_dockManager = nullptr;
}

CAppBarMngr* CAppBarMngr::Instance() { return g_dockManager; }

QRect CAppBarMngr::ScreenRect() const {
  QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->geometry() : QRect(0, 0, 1024, 768);
}

QRect CAppBarMngr::WorkArea() const {
  QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->availableGeometry() : ScreenRect();
}

QPoint CAppBarMngr::DockedTopLeft() const {
  const QRect screen = ScreenRect();
  return {left_ ? screen.left() : screen.right() + 1 - width_, screen.top()};
}

void CAppBarMngr::Attach(QWidget* frame, int width, bool left) {
  frame_ = frame;
  width_ = width;
  left_ = left;
  const QRect screen = ScreenRect();
  if (left_)
    Slide(autoHide_ ? screen.left() : screen.left() + width_, false);
  else
    Slide(screen.right() + 1 - 2 * width_, true);
  if (autoHide_ != 0) pointerTimer_.start();
}

void CAppBarMngr::Slide(int startX, bool towardsRight) {
  if (!frame_) return;
  slideStart_ = startX;
  slideTowardsRight_ = towardsRight;
  slideIndex_ = 0;
  SlideStep();
}

void CAppBarMngr::SlideStep() {
  if (!frame_ || slideIndex_ > 10) {
    slideTimer_.stop();
    emit SlideFinished();
    return;
  }
  const float step = static_cast<float>(width_) / 10.0f;
  const int i = slideIndex_++;
  const int offset = static_cast<int>(static_cast<float>(i) * step);
  PlaceFrame(slideStart_ + (slideTowardsRight_ ? offset : -offset));
  slideTimer_.start(5 + 2 * i);
}

void CAppBarMngr::PlaceFrame(int x) {
  if (!frame_) return;
  frame_->setGeometry(x, ScreenRect().top(), width_, WorkArea().height());
  frame_->show();
  frame_->raise();
}

void CAppBarMngr::SetSide(bool left) {
  left_ = left;
  if (frame_) {
    slideTimer_.stop();
    PlaceFrame(DockedTopLeft().x());
  }
  Settings::SetDockLeft(left);
  emit SideChanged(left);
}

void CAppBarMngr::SetAutoHide(int value) {
  autoHide_ = value;
  pointerWasInside_ = false;
  // The pointer is only watched while the mode is on.
  if (autoHide_ != 0 && frame_)
    pointerTimer_.start();
  else
    pointerTimer_.stop();
}

void CAppBarMngr::Register(bool on) {
  if (!frame_) return;
  if (!on) {
    x11::ClearDockReservation(frame_);
    registered_ = false;
    return;
  }
  // Only the horizontal extent is ours to choose; the strip runs the full screen height.
  const QRect screen = ScreenRect();
  const QRect strip = left_ ? QRect(screen.left(), screen.top(), kReservedWidth, screen.height())
                            : QRect(screen.right() + 1 - kReservedWidth, screen.top(),
                                    kReservedWidth, screen.height());
  x11::SetDockReservation(frame_, left_ ? x11::Edge::kLeft : x11::Edge::kRight, strip);
  registered_ = true;
}

void CAppBarMngr::ToggleAutoHide() {
  const bool wasOn = Settings::AutoHide();
  SetAutoHide(wasOn ? 0 : 1);
  if (wasOn) {
    // Bring the bar back unless the pointer is on it (then it is on screen already) or it
    // already stands at its edge, where sliding in would first make it jump away.
    const bool pointerOnBar = frame_ && frame_->geometry().contains(QCursor::pos());
    if (frame_ && !pointerOnBar && frame_->pos() != DockedTopLeft()) SlideIn();
    Settings::SetAutoHide(false);
  } else {
    Settings::SetAutoHide(true);
  }
  RegisterByMode();
}

void CAppBarMngr::SwitchSide() {
  SetSide(!left_);
  RegisterByMode();
}

void CAppBarMngr::SlideIn() {
  const QRect screen = ScreenRect();
  if (left_)
    Slide(screen.left() - width_, true);
  else
    Slide(screen.right() + 1, false);
}

void CAppBarMngr::SlideOut() {
  const QRect screen = ScreenRect();
  if (left_)
    Slide(screen.left(), false);
  else
    Slide(screen.right() + 1 - width_, true);
}

bool CAppBarMngr::OnScreen() const { return frame_ && frame_->geometry().intersects(ScreenRect()); }

void CAppBarMngr::TrackPointer() {
  if (!frame_ || autoHide_ == 0 || !frame_->isVisible() || Sliding() || moveDragging_) return;
  // A menu or dialog of the bar keeps it where it is.
  if (QApplication::activePopupWidget() || QApplication::activeModalWidget()) {
    awaySince_.invalidate();
    return;
  }
  const QPoint pointer = QCursor::pos();
  const QRect screen = ScreenRect();
  if (!OnScreen()) {
    pointerWasInside_ = false;
    const bool atEdge = left_ ? pointer.x() <= screen.left() : pointer.x() >= screen.right();
    if (atEdge && screen.contains(pointer)) SlideIn();
    return;
  }
  if (frame_->geometry().contains(pointer)) {
    pointerWasInside_ = true;
    awaySince_.invalidate();
    return;
  }
  if (!pointerWasInside_) return;
  if (!awaySince_.isValid()) {
    awaySince_.start();
  } else if (awaySince_.elapsed() >= kLeaveDelayMs) {
    pointerWasInside_ = false;
    awaySince_.invalidate();
    SlideOut();
  }
}

void CAppBarMngr::BeginMoveDrag(QPoint pointer) {
  moveDragging_ = true;
  dragOffset_ = pointer - DockedTopLeft();
  lastOutline_ = QRect();
  sideSwitched_ = false;
}

void CAppBarMngr::DrawOutlineAt(const QRect& rect) {
  if (!drawOutline) return;
  if (lastOutline_.isValid()) drawOutline(lastOutline_);
  drawOutline(rect);
  lastOutline_ = rect;
}

void CAppBarMngr::MoveDrag(QPoint pointer) {
  if (!moveDragging_ || !frame_) return;
  DrawOutlineAt(QRect(pointer - dragOffset_, QSize(width_, frame_->height())));
  const int middle = ScreenRect().left() + ScreenRect().width() / 2;
  if ((left_ && pointer.x() > middle) || (!left_ && pointer.x() < middle)) {
    sideSwitched_ = true;
    SetSide(!left_);
  }
}

void CAppBarMngr::EndMoveDrag(QPoint pointer) {
  if (!moveDragging_) return;
  moveDragging_ = false;
  if (frame_) {
    const QPoint drop = pointer - dragOffset_;
    const QPoint end = frame_->pos();
    for (const GridPoint& p : LinePoints({drop.x(), drop.y()}, {end.x(), end.y()}))
      DrawOutlineAt(QRect(QPoint(p.x, p.y), QSize(width_, frame_->height())));
  }
  // Take the last outline off the screen too, so the next drag starts clean.
  if (lastOutline_.isValid() && drawOutline) drawOutline(lastOutline_);
  lastOutline_ = QRect();
  if (sideSwitched_) RegisterByMode();
  sideSwitched_ = false;
  pointerWasInside_ = false;
}

}  // namespace lumarine
