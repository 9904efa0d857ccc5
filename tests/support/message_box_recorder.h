#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "platform/message_box.h"

namespace lumarine::test {

// Records every message shown while it is installed; answers with a fixed reply.
class MessageBoxRecorder : public MessageBoxService {
 public:
  struct Call {
    std::string text;
    std::string caption;
    unsigned buttons;
  };

  explicit MessageBoxRecorder(int answer = kIdOk) : answer_(answer) {
    previous_ = SetMessageBoxService(this);
  }
  ~MessageBoxRecorder() override { SetMessageBoxService(previous_); }

  int Show(const std::string& text, const std::string& caption, unsigned buttons) override {
    std::lock_guard lock(mutex_);
    calls_.push_back({text, caption, buttons});
    return answer_;
  }

  std::vector<Call> Calls() const {
    std::lock_guard lock(mutex_);
    return calls_;
  }

 private:
  int answer_;
  MessageBoxService* previous_;
  mutable std::mutex mutex_;
  std::vector<Call> calls_;
};

}  // namespace lumarine::test
