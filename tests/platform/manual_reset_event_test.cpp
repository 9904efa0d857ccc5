#include "platform/manual_reset_event.h"

#include <gtest/gtest.h>

#include <thread>

namespace lumarine {
namespace {

using namespace std::chrono_literals;

TEST(ManualResetEventTest, StaysSignalledUntilReset) {
  ManualResetEvent event;
  EXPECT_FALSE(event.Wait({}, 1ms));
  event.Set();
  EXPECT_TRUE(event.Wait({}, 1ms));
  EXPECT_TRUE(event.Wait({}, 1ms));
  event.Reset();
  EXPECT_FALSE(event.IsSet());
}

TEST(ManualResetEventTest, WakesAWaiterFromAnotherThread) {
  ManualResetEvent event;
  std::jthread setter([&event] {
    std::this_thread::sleep_for(20ms);
    event.Set();
  });
  EXPECT_TRUE(event.Wait({}, 10s));
}

TEST(ManualResetEventTest, AStopRequestEndsTheWaitAtOnce) {
  ManualResetEvent event;
  std::stop_source source;
  std::jthread stopper([&source] {
    std::this_thread::sleep_for(20ms);
    source.request_stop();
  });
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(event.Wait(source.get_token(), 10s));
  EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
}

}  // namespace
}  // namespace lumarine
