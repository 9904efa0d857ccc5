#include "app/app_bar_mngr.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <cmath>

#include "app/all_desktops_keeper.h"
#include "app/edge_sentinel.h"
#include "app/line_walk.h"
#include "app/sway_dock.h"
#include "app/x11_dock_properties.h"
#include "base/dock_side.h"
#include "platform/settings.h"

namespace lumarine {
namespace {

CAppBarMngr* g_dockManager = nullptr;

}  // namespace

CAppBarMngr::CAppBarMngr() : drawOutline(x11::XorScreenOutline) {
  g_dockManager = this;
  SetDockedAtLeft(left_);
  slideTimer_.setSingleShot(true);
  slideTimer_.setTimerType(Qt::PreciseTimer);
  connect(&slideTimer_, &QTimer::timeout, this, &CAppBarMngr::SlideStep);
  swayTimer_.setInterval(kSwayRetryMs);
  connect(&swayTimer_, &QTimer::timeout, this, &CAppBarMngr::PlaceUnderSway);
  leaveTimer_.setSingleShot(true);
  leaveTimer_.setInterval(kLeaveDelayMs);
  connect(&leaveTimer_, &QTimer::timeout, this,
          [this] { HandleAutoHide(AutoHideEvent::kLeaveDelayElapsed); });
}

CAppBarMngr::~CAppBarMngr() {
  if (frame_) frame_->removeEventFilter(this);
  if (g_dockManager != this) return;
  g_dockManager = nullptr;
  SetDockedAtLeft(std::nullopt);
}

CAppBarMngr* CAppBarMngr::Instance() { return g_dockManager; }

QScreen* CAppBarMngr::Screen() const {
  return screen_ ? screen_.data() : QGuiApplication::primaryScreen();
}

QRect CAppBarMngr::ScreenRect() const {
  QScreen* screen = Screen();
  return screen ? screen->geometry() : QRect(0, 0, 1024, 768);
}

QRect CAppBarMngr::WorkArea() const {
  QScreen* screen = Screen();
  return screen ? screen->availableGeometry() : ScreenRect();
}

QRect CAppBarMngr::BarRows() const {
  // The work area leaves out the panels at the top and bottom of the monitor (and the bar's
  // own strip, at its side); a window manager that publishes none leaves the whole screen.
  const QRect screen = ScreenRect();
  const QRect area = WorkArea() & screen;
  return area.isEmpty() ? screen : QRect(screen.left(), area.top(), screen.width(), area.height());
}

QPoint CAppBarMngr::DockedTopLeft() const {
  const QRect screen = ScreenRect();
  return {left_ ? screen.left() : screen.right() + 1 - width_, BarRows().top()};
}

std::optional<StrutValues> CAppBarMngr::PlannedStrut() const {
  // The window system counts in device pixels; a screen keeps its top-left corner there and
  // scales its size by its ratio.
  std::vector<MonitorRect> monitors;
  std::size_t barMonitor = 0;
  int rootWidth = 0;
  for (QScreen* screen : QGuiApplication::screens()) {
    const QRect g = screen->geometry();
    const double ratio = screen->devicePixelRatio();
    if (screen == Screen()) barMonitor = monitors.size();
    monitors.push_back({g.x(), g.y(), static_cast<int>(std::lround(g.width() * ratio)),
                        static_cast<int>(std::lround(g.height() * ratio))});
    rootWidth = std::max(rootWidth, monitors.back().x + monitors.back().width);
  }
  if (monitors.empty()) return std::nullopt;
  rootWidth = x11::RootWidth(frame_).value_or(rootWidth);
  const double ratio = Screen() ? Screen()->devicePixelRatio() : 1.0;
  const QRect rows = BarRows();
  const int screenTop = ScreenRect().top();
  const int firstRow = screenTop + static_cast<int>(std::lround((rows.top() - screenTop) * ratio));
  const RowSpan barRows{firstRow, firstRow + static_cast<int>(std::lround(rows.height() * ratio))};
  return DockStrut(monitors, barMonitor, rootWidth, left_,
                   static_cast<int>(std::lround(kReservedWidth * ratio)), barRows);
}

QWidget* CAppBarMngr::EdgeSentinelWindow() const {
  return sentinel_ && sentinel_->isVisible() ? sentinel_.get() : nullptr;
}

bool CAppBarMngr::eventFilter(QObject* watched, QEvent* event) {
  if (watched != frame_) return QObject::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::Show:
      // Sent before the window is mapped: the window manager must find the dock type, the
      // states and the workspace already there when it takes the window on.
      if (!event->spontaneous()) {
        x11::PrepareDockWindow(frame_);
        // Panels may have come or gone while the bar was in the tray.
        if (!Sliding()) FitToWorkArea();
        // sway takes a window that is mapped again for a new one, to be tiled.
        if (sway_) {
          swayTries_ = 0;
          swayTimer_.start();
        }
        UpdateSentinel();
      }
      break;
    case QEvent::Hide:
      pointerOnBar_ = false;
      UpdateSentinel();
      break;
    case QEvent::Enter:
      pointerOnBar_ = true;
      HandleAutoHide(AutoHideEvent::kPointerEntered);
      break;
    case QEvent::Leave:
      // The window system's word, which holds over windows of other clients too (a native
      // Wayland window, where the pointer position the X server reports stops moving).
      pointerOnBar_ = false;
      HandleAutoHide(AutoHideEvent::kPointerLeft);
      break;
    default:
      break;
  }
  return QObject::eventFilter(watched, event);
}

void CAppBarMngr::Attach(QWidget* frame, int width, bool left) {
  if (frame_) frame_->removeEventFilter(this);
  frame_ = frame;
  screen_ = frame ? frame->screen() : nullptr;
  width_ = width;
  left_ = left;
  SetDockedAtLeft(left);
  if (frame_) {
    frame_->installEventFilter(this);
    if (!frame_->findChild<AllDesktopsKeeper*>(QString(), Qt::FindDirectChildrenOnly))
      new AllDesktopsKeeper(frame_);  // owned by the frame
  }
  FollowScreen();
  if (const std::optional<QString> socket = SwayDock::SocketPath(); socket && !sway_)
    sway_ = std::make_unique<SwayDock>(*socket);
  underSway_ = SwayDock::Running();
  // Window managers read the strut, like the type, when they take the window on; some
  // ignore one that comes later.
  const bool autoHide = autoHideState_ != AutoHideState::kOff;
  if (frame_ && !autoHide) Register(true);
  const QRect screen = ScreenRect();
  if (left_)
    Slide(autoHide ? screen.left() : screen.left() + width_, false);
  else
    Slide(screen.right() + 1 - 2 * width_, true);
}

void CAppBarMngr::Slide(int startX, bool towardsRight) {
  if (!frame_) return;
  if (underSway_) {
    // sway places its windows itself (it centres a floating one that asks for a new place,
    // which undoes a place its configuration gave): the bar goes straight to its edge and
    // stays in view, auto-hide or not, since hiding it would need sway to place the edge
    // column as well.
    slideTimer_.stop();
    PlaceFrame(DockedTopLeft().x());
    emit SlideFinished();
    return;
  }
  slideStart_ = startX;
  slideTowardsRight_ = towardsRight;
  slideIndex_ = 0;
  SlideStep();
}

void CAppBarMngr::SlideStep() {
  if (!frame_ || slideIndex_ > 10) {
    slideTimer_.stop();
    HandleAutoHide(AutoHideEvent::kSlideFinished);
    UpdateSentinel();
    emit SlideFinished();
    return;
  }
  const float step = static_cast<float>(width_) / 10.0f;
  const int i = slideIndex_++;
  const int offset = static_cast<int>(static_cast<float>(i) * step);
  PlaceFrame(slideStart_ + (slideTowardsRight_ ? offset : -offset));
  slideTimer_.start(5 + 2 * i);
}

void CAppBarMngr::StopSlide() {
  slideTimer_.stop();
  HandleAutoHide(AutoHideEvent::kPlaced);
  if (sentinel_) sentinel_->hide();
}

void CAppBarMngr::PlaceFrame(int x) {
  if (!frame_) return;
  HandleAutoHide(AutoHideEvent::kPlaced);
  const QRect rows = BarRows();
  frame_->setGeometry(x, rows.top(), width_, rows.height());
  frame_->show();
  frame_->raise();
  if (sway_) {
    swayTries_ = 0;
    swayTimer_.start();
  }
}

void CAppBarMngr::PlaceUnderSway() {
  // The compositor takes the window on a little after it is mapped: try again until it does.
  if (!frame_ || !sway_ || !frame_->isVisible()) return swayTimer_.stop();
  if (sway_->Place(frame_->winId(), left_, width_) || ++swayTries_ >= kSwayTries) swayTimer_.stop();
}

void CAppBarMngr::FollowScreen() {
  if (screenConnection_) disconnect(screenConnection_);
  if (QScreen* screen = Screen())
    screenConnection_ =
        connect(screen, &QScreen::availableGeometryChanged, this, &CAppBarMngr::WorkAreaChanged);
}

void CAppBarMngr::FitToWorkArea() {
  if (!frame_) return;
  const QRect rows = BarRows();
  const QRect now = frame_->geometry();
  if (now.top() != rows.top() || now.height() != rows.height())
    frame_->setGeometry(now.x(), rows.top(), width_, rows.height());
}

void CAppBarMngr::WorkAreaChanged() {
  // A panel appeared, went or changed size: the bar stays between the panels, and its strip
  // covers its own rows. The strip it writes changes only the work area's width, so this
  // settles after one round.
  if (!frame_) return;
  if (!Sliding() && !moveDragging_) FitToWorkArea();
  if (registered_ && PlannedStrut() != writtenStrut_) Register(true);
  UpdateSentinel();
}

void CAppBarMngr::SetSide(bool left) {
  left_ = left;
  SetDockedAtLeft(left);
  if (frame_) {
    slideTimer_.stop();
    PlaceFrame(DockedTopLeft().x());
  }
  UpdateSentinel();
  Settings::SetDockLeft(left);
  emit SideChanged(left);
}

void CAppBarMngr::SetAutoHide(int value) {
  HandleAutoHide(value != 0 ? AutoHideEvent::kModeOn : AutoHideEvent::kModeOff);
  UpdateSentinel();
}

void CAppBarMngr::Register(bool on) {
  if (!frame_) return;
  registered_ = on;
  // Docked at an edge that another monitor continues, the bar reserves nothing and simply
  // stays on top.
  const std::optional<StrutValues> strut = on ? PlannedStrut() : std::nullopt;
  if (strut)
    x11::SetDockReservation(frame_, *strut);
  else
    x11::ClearDockReservation(frame_);
  writtenStrut_ = strut;
  if (sway_ && on)
    sway_->ReserveStrip(left_, kReservedWidth);
  else if (sway_)
    sway_->ReleaseStrip();
}

void CAppBarMngr::ToggleAutoHide() {
  const bool wasOn = Settings::AutoHide();
  SetAutoHide(wasOn ? 0 : 1);
  if (wasOn) {
    // Bring the bar back unless the pointer is on it (then it is on screen already) or it
    // already stands at its edge, where sliding in would first make it jump away.
    if (frame_ && !pointerOnBar_ && frame_->pos() != DockedTopLeft()) SlideIn();
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
  if (sentinel_) sentinel_->hide();
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

bool CAppBarMngr::KeptInPlace() const {
  // A slide, a drag, or a menu or dialog of the bar keeps it where it is.
  return Sliding() || moveDragging_ || QApplication::activePopupWidget() ||
         QApplication::activeModalWidget();
}

void CAppBarMngr::HandleAutoHide(AutoHideEvent event) {
  const AutoHideFacts facts{.pointerOnBar = pointerOnBar_,
                            .shown = frame_ && frame_->isVisible(),
                            .onScreen = OnScreen(),
                            .away = Away(),
                            .keptInPlace = KeptInPlace(),
                            .seenOnOtherMonitor = SeenOnOtherMonitor()};
  const AutoHideStep step = NextAutoHideStep(autoHideState_, event, facts);
  // The state first: the motion places the frame, which comes back here.
  autoHideState_ = step.next;
  if (autoHideState_ != AutoHideState::kLeaving)
    leaveTimer_.stop();
  else if (step.restartLeaveDelay)
    leaveTimer_.start();
  switch (step.motion) {
    case AutoHideMotion::kNone:
      break;
    case AutoHideMotion::kSlideIn:
      SlideIn();
      break;
    case AutoHideMotion::kSlideOut:
      SlideOut();
      break;
    case AutoHideMotion::kPark:
      frame_->hide();
      break;
  }
}

bool CAppBarMngr::Away() const {
  return frame_ && (frame_->isVisible() || autoHideState_ == AutoHideState::kParked) && !OnScreen();
}

bool CAppBarMngr::SeenOnOtherMonitor() const {
  if (!frame_) return false;
  for (QScreen* screen : QGuiApplication::screens())
    if (screen != Screen() && frame_->geometry().intersects(screen->geometry())) return true;
  return false;
}

void CAppBarMngr::UpdateSentinel() {
  const bool wanted = autoHideState_ != AutoHideState::kOff && Away() && !Sliding();
  if (!wanted) {
    if (sentinel_) sentinel_->hide();
    return;
  }
  if (!sentinel_) {
    sentinel_ = std::make_unique<EdgeSentinel>();
    connect(sentinel_.get(), &EdgeSentinel::Touched, this,
            [this] { HandleAutoHide(AutoHideEvent::kEdgeTouched); });
  }
  // The bar's rows only: the corners belong to the panels (a hot corner among them).
  const QRect screen = ScreenRect();
  const QRect rows = BarRows();
  sentinel_->setGeometry(left_ ? screen.left() : screen.right(), rows.top(), 1, rows.height());
  sentinel_->show();
  sentinel_->raise();
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
  HandleAutoHide(AutoHideEvent::kDragEnded);
}

}  // namespace lumarine
