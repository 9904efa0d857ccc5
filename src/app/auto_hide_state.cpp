#include "app/auto_hide_state.h"

namespace lumarine {

AutoHideStep NextAutoHideStep(AutoHideState state, AutoHideEvent event,
                              const AutoHideFacts& facts) {
  using S = AutoHideState;
  const AutoHideStep stay{state};
  if (event == AutoHideEvent::kModeOff) return {S::kOff};
  if (event == AutoHideEvent::kModeOn) {
    // An unmapped bar stays where only the edge brings it back.
    if (state == S::kParked) return stay;
    // A bar that the pointer is on when the mode starts leaves when the pointer does.
    return {facts.shown && facts.pointerOnBar ? S::kInside : S::kResting};
  }
  if (state == S::kOff) return stay;
  switch (event) {
    case AutoHideEvent::kPointerEntered:
      return state == S::kParked ? stay : AutoHideStep{S::kInside};
    case AutoHideEvent::kPointerLeft:
      if (state == S::kInside || state == S::kLeaving) return {S::kLeaving, true};
      return stay;
    case AutoHideEvent::kEdgeTouched:
      if (!facts.away || facts.keptInPlace) return stay;
      // Until the pointer comes onto the bar, touching the edge counts as being on it: a
      // pointer that only brushed the edge takes the bar out again.
      return {facts.pointerOnBar ? S::kInside : S::kLeaving, !facts.pointerOnBar,
              AutoHideMotion::kSlideIn};
    case AutoHideEvent::kLeaveDelayElapsed:
      if (state != S::kLeaving) return stay;
      // Hidden or out of view already: nothing to take out.
      if (!facts.shown || !facts.onScreen) return {S::kInside};
      if (facts.keptInPlace) return {S::kLeaving, true};
      if (facts.pointerOnBar) return {S::kInside};
      return {S::kResting, false, AutoHideMotion::kSlideOut};
    case AutoHideEvent::kSlideFinished:
      if (state == S::kParked || !facts.away || !facts.seenOnOtherMonitor) return stay;
      return {S::kParked, false, AutoHideMotion::kPark};
    case AutoHideEvent::kPlaced:
      return state == S::kParked ? AutoHideStep{S::kResting} : stay;
    case AutoHideEvent::kDragEnded:
      // The pointer let go of the bar where it was dragged: only coming in again and leaving
      // takes it out.
      return state == S::kInside ? AutoHideStep{S::kResting} : stay;
    case AutoHideEvent::kModeOn:
    case AutoHideEvent::kModeOff:
      break;
  }
  return stay;
}

}  // namespace lumarine
