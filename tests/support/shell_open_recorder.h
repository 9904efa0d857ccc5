#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "platform/shell_open.h"

namespace lumarine::test {

// Records what would have been opened in the desktop's default handler.
class ShellOpenRecorder : public ShellOpenService {
 public:
  ShellOpenRecorder() { previous_ = SetShellOpenService(this); }
  ~ShellOpenRecorder() override { SetShellOpenService(previous_); }

  bool Open(const std::string& target) override {
    std::lock_guard lock(mutex_);
    opened_.push_back(target);
    return true;
  }

  std::vector<std::string> Opened() const {
    std::lock_guard lock(mutex_);
    return opened_;
  }

 private:
  ShellOpenService* previous_;
  mutable std::mutex mutex_;
  std::vector<std::string> opened_;
};

}  // namespace lumarine::test
