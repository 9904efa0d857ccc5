#include "app/auto_hide_state.h"

#include <gtest/gtest.h>

namespace lumarine {
namespace {

using S = AutoHideState;
using E = AutoHideEvent;
using M = AutoHideMotion;

TEST(AutoHideStateTest, PointerEdgeAndSlideEventsMoveTheBarOnlyWhenTheyShould) {
  const AutoHideFacts view{.shown = true, .onScreen = true};
  const AutoHideFacts away{.shown = true, .away = true};
  const AutoHideFacts menu{.shown = true, .onScreen = true, .keptInPlace = true};
  const AutoHideFacts onBar{.pointerOnBar = true, .shown = true, .onScreen = true};
  const AutoHideFacts seen{.shown = true, .away = true, .seenOnOtherMonitor = true};
  const AutoHideFacts dragged{.shown = true, .away = true, .keptInPlace = true};
  const AutoHideFacts parked{.away = true};
  const struct {
    const char* name;
    S state;
    E event;
    AutoHideFacts facts;
    AutoHideStep expected;
  } cases[] = {
      {"never entered", S::kResting, E::kPointerLeft, view, {S::kResting}},
      {"left", S::kInside, E::kPointerLeft, view, {S::kLeaving, true}},
      {"delay over", S::kLeaving, E::kLeaveDelayElapsed, view, {S::kResting, false, M::kSlideOut}},
      {"menu open", S::kLeaving, E::kLeaveDelayElapsed, menu, {S::kLeaving, true}},
      {"out of view", S::kLeaving, E::kLeaveDelayElapsed, away, {S::kInside}},
      {"drag ended", S::kInside, E::kDragEnded, view, {S::kResting}},
      {"mode off", S::kOff, E::kEdgeTouched, away, {S::kOff}},
      {"mode on under the pointer", S::kOff, E::kModeOn, onBar, {S::kInside}},
      {"edge brushed", S::kResting, E::kEdgeTouched, away, {S::kLeaving, true, M::kSlideIn}},
      {"edge while dragged", S::kResting, E::kEdgeTouched, dragged, {S::kResting}},
      {"parked, edge", S::kParked, E::kEdgeTouched, parked, {S::kLeaving, true, M::kSlideIn}},
      {"seen elsewhere", S::kResting, E::kSlideFinished, seen, {S::kParked, false, M::kPark}},
      {"not seen", S::kResting, E::kSlideFinished, away, {S::kResting}},
      {"mode on while parked", S::kParked, E::kModeOn, parked, {S::kParked}},
      {"placed", S::kParked, E::kPlaced, view, {S::kResting}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(NextAutoHideStep(c.state, c.event, c.facts), c.expected) << c.name;
}

}  // namespace
}  // namespace lumarine
