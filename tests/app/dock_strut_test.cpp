#include "app/dock_strut.h"

#include <gtest/gtest.h>

namespace lumarine {
namespace {

TEST(DockStrutTest, ReservesOnlyTheBarsMonitorAndOnlyAtAnOuterEdge) {
  struct Case {
    const char* name;
    std::vector<MonitorRect> monitors;
    std::size_t bar;
    int rootWidth;
    bool left;
    int reserved;
    std::optional<StrutValues> expected;
  };
  const MonitorRect one{0, 0, 1280, 800};
  const MonitorRect a{0, 0, 1280, 1024}, b{1280, 0, 1920, 1080};
  const Case cases[] = {
      {"one monitor, left", {one}, 0, 1280, true, 204, StrutValues{204, 0, 0, 0, 0, 799}},
      {"one monitor, right", {one}, 0, 1280, false, 204, StrutValues{0, 204, 0, 0, 0, 0, 0, 799}},
      {"device pixels of a bar scaled by 2",
       {one},
       0,
       1280,
       true,
       408,
       StrutValues{408, 0, 0, 0, 0, 799}},
      {"outer left edge, own rows", {a, b}, 0, 3200, true, 204, StrutValues{204, 0, 0, 0, 0, 1023}},
      {"outer right edge, own rows",
       {a, b},
       1,
       3200,
       false,
       204,
       StrutValues{0, 204, 0, 0, 0, 0, 0, 1079}},
      {"inner edge of the left monitor", {a, b}, 0, 3200, false, 204, std::nullopt},
      {"inner edge of the right monitor", {a, b}, 1, 3200, true, 204, std::nullopt},
      // The monitor on the left ends above this one: counted from the root's edge, the strut
      // covers only dead area there.
      {"left edge beside rows nobody else has",
       {{0, 0, 1000, 500}, {1000, 500, 1000, 500}},
       1,
       2000,
       true,
       204,
       StrutValues{1204, 0, 0, 0, 500, 999}},
      {"stacked monitors, lower one",
       {{0, 0, 1280, 800}, {0, 800, 1280, 800}},
       1,
       1280,
       false,
       204,
       StrutValues{0, 204, 0, 0, 0, 0, 800, 1599}},
      {"no such monitor", {one}, 3, 1280, true, 204, std::nullopt},
  };
  for (const Case& c : cases) {
    const RowSpan allRows{0, 100000};
    EXPECT_EQ(DockStrut(c.monitors, c.bar, c.rootWidth, c.left, c.reserved, allRows), c.expected)
        << c.name;
  }
}

TEST(DockStrutTest, CoversTheBarsOwnRowsWithinItsMonitor) {
  struct Case {
    const char* name;
    RowSpan rows;
    std::optional<StrutValues> expected;
  };
  // The lower of two stacked monitors, rows 800 to 1599.
  const std::vector<MonitorRect> monitors{{0, 0, 1280, 800}, {0, 800, 1280, 800}};
  const Case cases[] = {
      {"below a 32-pixel top panel", {832, 1600}, StrutValues{204, 0, 0, 0, 832, 1599}},
      {"between a top and a bottom panel", {832, 1552}, StrutValues{204, 0, 0, 0, 832, 1551}},
      {"rows beyond the monitor are cut", {700, 1700}, StrutValues{204, 0, 0, 0, 800, 1599}},
      {"no rows", {900, 900}, std::nullopt},
      {"rows on another monitor only", {0, 800}, std::nullopt},
  };
  for (const Case& c : cases)
    EXPECT_EQ(DockStrut(monitors, 1, 1280, true, 204, c.rows), c.expected) << c.name;
}

}  // namespace
}  // namespace lumarine
