#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

#include "app/auto_hide_state.h"
#include "app/dock_strut.h"

namespace lumarine {

class EdgeSentinel;
class SwayDock;

// The dock manager: keeps the bar at the left or right screen edge, plays the slide, reserves
// the screen strip beside the bar, drags the bar from one edge to the other, and in auto-hide
// mode brings the bar in when the pointer touches its screen edge and takes it out again
// after the pointer has left it. The pointer is followed by window system events (entering
// and leaving the bar, touching the edge), never by polling, so an idle bar costs nothing.
// One instance (see Instance()); main thread only.
class CAppBarMngr : public QObject {
  Q_OBJECT

 public:
  // The reserved strip is a little wider than the window.
  static constexpr int kReservedWidth = 204;
  // How long the pointer may stay away from a revealed bar before it slides out again.
  static constexpr int kLeaveDelayMs = 600;

  CAppBarMngr();
  ~CAppBarMngr() override;

  // The process-wide dock manager, or nullptr before start-up and after exit.
  static CAppBarMngr* Instance();

  // Stores the frame, its width and side, then plays the start-up slide.
  void Attach(QWidget* frame, int width, bool left);
  // Eleven placements from startX, width / 10 apart, with waits of 5, 7, ..., 25 ms; runs on
  // from the event loop. A new slide replaces one still running.
  void Slide(int startX, bool towardsRight);
  // Ends a running slide where it is and stops waiting at the edge; a frame about to be
  // hidden must call it first, or the next step shows the frame again.
  void StopSlide();
  // Moves the frame to the chosen edge at once and stores the side in the settings.
  void SetSide(bool left);
  // 0 turns auto-hide off, any other value on.
  void SetAutoHide(int value);
  // on: reserve the strip at the current edge; off: give it back.
  void Register(bool on);
  void RegisterByMode() { Register(autoHideState_ == AutoHideState::kOff); }

  // The auto-hide command and the side switch command.
  void ToggleAutoHide();
  void SwitchSide();

  // Dragging the bar to the other edge; positions are global pointer positions.
  void BeginMoveDrag(QPoint pointer);
  void MoveDrag(QPoint pointer);
  void EndMoveDrag(QPoint pointer);
  bool MoveDragging() const { return moveDragging_; }

  bool Left() const { return left_; }
  int Width() const { return width_; }
  int AutoHide() const { return autoHideState_ == AutoHideState::kOff ? 0 : 1; }
  bool Registered() const { return registered_; }
  bool Sliding() const { return slideTimer_.isActive(); }
  QWidget* Frame() const { return frame_; }

  // The monitor the bar lives on (the frame's at Attach), its geometry and its work area.
  QScreen* Screen() const;
  QRect ScreenRect() const;
  QRect WorkArea() const;
  // The rows the bar covers: the work area's, between the panels at the top and bottom of its
  // monitor, across the whole monitor.
  QRect BarRows() const;
  // Where the frame stands when docked at its current edge.
  QPoint DockedTopLeft() const;
  // The strut the registration writes: the bar's monitor edge only, in device pixels;
  // nothing at an edge that another monitor continues.
  std::optional<StrutValues> PlannedStrut() const;
  // The edge column that reveals an auto-hidden bar; nullptr unless the bar waits there.
  QWidget* EdgeSentinelWindow() const;

  // Draws (and, called again with the same rectangle, erases) the drag outline on the screen.
  // XOR on the X11 root window by default; tests record it instead.
  std::function<void(const QRect&)> drawOutline;

 signals:
  void SlideFinished();
  void SideChanged(bool left);

 protected:
  // Follows the frame: prepares its window before every map, and the pointer entering and
  // leaving it.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void SlideStep();
  void PlaceFrame(int x);
  void PlaceUnderSway();
  void FollowScreen();
  void FitToWorkArea();
  void WorkAreaChanged();
  void DrawOutlineAt(const QRect& rect);
  // Feeds an event through the auto-hide transition and carries out the step.
  void HandleAutoHide(AutoHideEvent event);
  bool SeenOnOtherMonitor() const;
  void UpdateSentinel();
  bool Away() const;
  bool KeptInPlace() const;
  void SlideIn();
  void SlideOut();
  bool OnScreen() const;

  QPointer<QWidget> frame_;
  QPointer<QScreen> screen_;
  int width_ = 0;
  bool left_ = false;
  AutoHideState autoHideState_ = AutoHideState::kOff;
  bool registered_ = false;
  std::optional<StrutValues> writtenStrut_;
  QMetaObject::Connection screenConnection_;

  QTimer slideTimer_;
  int slideStart_ = 0;
  bool slideTowardsRight_ = false;
  int slideIndex_ = 0;

  bool moveDragging_ = false;
  QPoint dragOffset_;
  QRect lastOutline_;
  bool sideSwitched_ = false;

  // Runs while auto-hide is kLeaving.
  QTimer leaveTimer_;
  // The pointer is on the bar, as its enter and leave events tell, in every mode.
  bool pointerOnBar_ = false;
  std::unique_ptr<EdgeSentinel> sentinel_;

  // Under sway only.
  static constexpr int kSwayRetryMs = 100;
  static constexpr int kSwayTries = 30;
  bool underSway_ = false;
  // With the compositor's socket.
  std::unique_ptr<SwayDock> sway_;
  QTimer swayTimer_;
  int swayTries_ = 0;
};

}  // namespace lumarine
