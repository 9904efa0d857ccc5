#include "feeds/worker_thread.h"

namespace lumarine {

void WorkerThread::Start(Loop loop) {
  Stop();  // a thread from an earlier Start must not mark this one ended
  ended_ = false;
  thread_ = std::jthread([this, loop = std::move(loop)](std::stop_token stop) {
    loop(stop);
    ended_ = true;
  });
}

void WorkerThread::Stop() {
  thread_.request_stop();
  if (thread_.joinable()) thread_.join();
}

}  // namespace lumarine
