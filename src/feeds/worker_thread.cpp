#include "feeds/worker_thread.h"

namespace lumarine {

void WorkerThread::Start(Loop loop) {
  Stop();
  thread_ = std::jthread(std::move(loop));
}

void WorkerThread::Stop() {
  thread_.request_stop();
  if (thread_.joinable()) thread_.join();
}

}  // namespace lumarine
