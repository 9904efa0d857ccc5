#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace lumarine {

// The dock manager: keeps the bar at the left or right screen edge, plays the slide, reserves
// the screen strip beside the bar, drags the bar from one edge to the other, and in auto-hide
// mode brings the bar in when the pointer touches its screen edge and takes it out again
// after the pointer has left it. One instance (see Instance()); main thread only.
class CAppBarMngr : public QObject {
  Q_OBJECT

 public:
  // The reserved strip is a little wider than the window.
  static constexpr int kReservedWidth = 204;
  // How long the pointer may stay away from a revealed bar before it slides out again.
  static constexpr int kLeaveDelayMs = 600;
  static constexpr int kPointerPollMs = 80;

  CAppBarMngr();
  ~CAppBarMngr() override;

  // The process-wide dock manager, or nullptr before start-up and after exit.
  static CAppBarMngr* Instance();

  // Stores the frame, its width and side, then plays the start-up slide.
  void Attach(QWidget* frame, int width, bool left);
  // Eleven placements from startX, width / 10 apart, with waits of 5, 7, ..., 25 ms; runs on
  // from the event loop. A new slide replaces one still running.
  void Slide(int startX, bool towardsRight);
  // Moves the frame to the chosen edge at once and stores the side in the settings.
  void SetSide(bool left);
  void SetAutoHide(int value);
  // on: reserve the strip at the current edge; off: give it back.
  void Register(bool on);
  void RegisterByMode() { Register(autoHide_ == 0); }

  // The auto-hide command and the side switch command.
  void ToggleAutoHide();
  void SwitchSide();
  // Slides an auto-hidden bar in; nothing when it is on screen already.
  void Reveal() {
    if (!OnScreen()) SlideIn();
  }

  // Dragging the bar to the other edge; positions are global pointer positions.
  void BeginMoveDrag(QPoint pointer);
  void MoveDrag(QPoint pointer);
  void EndMoveDrag(QPoint pointer);
  bool MoveDragging() const { return moveDragging_; }

  bool Left() const { return left_; }
  int Width() const { return width_; }
  int AutoHide() const { return autoHide_; }
  bool Registered() const { return registered_; }
  bool Sliding() const { return slideTimer_.isActive(); }
  QWidget* Frame() const { return frame_; }

  // Geometry of the screen the bar lives on, and its work area.
  QRect ScreenRect() const;
  QRect WorkArea() const;
  // Where the frame stands when docked at its current edge.
  QPoint DockedTopLeft() const;

  // Draws (and, called again with the same rectangle, erases) the drag outline on the screen.
  // XOR on the X11 root window by default; tests record it instead.
  std::function<void(const QRect&)> drawOutline;

 signals:
  void SlideFinished();
  void SideChanged(bool left);

 private:
  void SlideStep();
  void PlaceFrame(int x);
  void DrawOutlineAt(const QRect& rect);
  void TrackPointer();
  void SlideIn();
  void SlideOut();
  bool OnScreen() const;

  QPointer<QWidget> frame_;
  int width_ = 0;
  bool left_ = false;
  int autoHide_ = 0;
  bool registered_ = false;

  QTimer slideTimer_;
  int slideStart_ = 0;
  bool slideTowardsRight_ = false;
  int slideIndex_ = 0;

  bool moveDragging_ = false;
  QPoint dragOffset_;
  QRect lastOutline_;
  bool sideSwitched_ = false;

  QTimer pointerTimer_;
  bool pointerWasInside_ = false;
  QElapsedTimer awaySince_;
};

}  // namespace lumarine
