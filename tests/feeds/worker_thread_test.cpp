#include "feeds/worker_thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>

namespace lumarine {
namespace {

// A loop that runs until it is asked to stop, counting how often it started and ended.
struct CountingLoop {
  std::mutex mutex;
  std::condition_variable_any changed;
  int started = 0;
  int ended = 0;

  WorkerThread::Loop Body() {
    return [this](std::stop_token stop) {
      std::unique_lock lock(mutex);
      ++started;
      changed.notify_all();
      changed.wait(lock, stop, [] { return false; });
      ++ended;
    };
  }
  void WaitForStarts(int count) {
    std::unique_lock lock(mutex);
    changed.wait(lock, [&] { return started == count; });
  }
};

TEST(WorkerThreadTest, StopJoinsAndARestartEndsTheLoopStillRunning) {
  CountingLoop loop;
  WorkerThread thread;
  thread.Stop();  // nothing runs yet: no effect
  thread.Start(loop.Body());
  loop.WaitForStarts(1);
  thread.Start(loop.Body());
  loop.WaitForStarts(2);
  {
    std::lock_guard lock(loop.mutex);
    EXPECT_EQ(loop.ended, 1) << "the first loop ended before the second began";
  }
  thread.Stop();
  EXPECT_EQ(loop.ended, 2) << "Stop returns once the loop has ended";
  thread.Stop();

  CountingLoop destroyed;
  {
    WorkerThread scoped;
    scoped.Start(destroyed.Body());
    destroyed.WaitForStarts(1);
  }
  EXPECT_EQ(destroyed.ended, 1) << "destruction stops and joins";
}

}  // namespace
}  // namespace lumarine
