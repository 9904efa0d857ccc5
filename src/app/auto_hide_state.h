#pragma once

namespace lumarine {

// What the dock manager's auto-hide does about the pointer. Where the bar stands is the
// window's own geometry; this says what the next pointer event does to it.
enum class AutoHideState {
  // Auto-hide is off: the bar stays docked.
  kOff,
  // Leaving the bar does nothing until the pointer has been on it.
  kResting,
  // The pointer has been on the bar (or at its edge) since it came in: leaving starts the
  // leave delay.
  kInside,
  // The leave delay runs; when it elapses the bar slides out.
  kLeaving,
  // Away and unmapped: at an edge that another monitor continues, the place beyond the edge
  // is on that monitor.
  kParked,
};

enum class AutoHideEvent {
  kModeOn,
  kModeOff,
  kPointerEntered,
  kPointerLeft,
  kEdgeTouched,
  kLeaveDelayElapsed,
  kSlideFinished,
  // The frame was placed again, or its slide stopped before the frame is hidden.
  kPlaced,
  kDragEnded,
};

// What the window system says when the event comes in.
struct AutoHideFacts {
  bool pointerOnBar = false;
  // The frame exists and is mapped.
  bool shown = false;
  bool onScreen = false;
  // Off the bar's monitor, mapped or parked.
  bool away = false;
  // A slide, a drag, or a menu or dialog of the bar keeps it where it is.
  bool keptInPlace = false;
  // Away, the frame covers part of another monitor.
  bool seenOnOtherMonitor = false;
};

enum class AutoHideMotion { kNone, kSlideIn, kSlideOut, kPark };

struct AutoHideStep {
  AutoHideState next = AutoHideState::kOff;
  // Start the leave delay from the beginning; it runs only while the state is kLeaving.
  bool restartLeaveDelay = false;
  AutoHideMotion motion = AutoHideMotion::kNone;
  bool operator==(const AutoHideStep&) const = default;
};

// The one transition function of auto-hide.
AutoHideStep NextAutoHideStep(AutoHideState state, AutoHideEvent event, const AutoHideFacts& facts);

}  // namespace lumarine
