#include "base/window_placement.h"

#include <gtest/gtest.h>

namespace lumarine {
namespace {

TEST(WindowPlacementTest, RoundTripsThroughItsText) {
  const WindowPlacement placement{-10, 20, 310, 620, 3, 0};
  EXPECT_EQ(FormatWindowPlacement(placement), "-10,20,310,620,3,0");
  EXPECT_EQ(ParseWindowPlacement("-10,20,310,620,3,0"), placement);
}

TEST(WindowPlacementTest, RefusesAnythingButSixIntegers) {
  for (const char* text : {"", "1,2,3,4,5", "1,2,3,4,5,6,7", "1,2,3,4,5,x", "1,,3,4,5,6",
                           "1,2,3,4,5,6,", " 1,2,3,4,5,6", "a,b,c,d,e,f"})
    EXPECT_FALSE(ParseWindowPlacement(text).has_value()) << text;
}

}  // namespace
}  // namespace lumarine
