#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>
#include <set>
#include <string>

#include "platform/message_box.h"

namespace lumarine {

// The message-box service of the running bar: a modal box on the GUI thread, whichever
// thread asks. A worker showing a plain report (OK only) goes on at once, and the same
// report is not queued again while one is waiting or open; a worker asking a question
// waits for the answer. Once Shutdown() is called (exit has begun and workers are
// being joined) waiting callers are released with the default answer, queued boxes are
// dropped and later messages only go to the log, so that no worker can block the exit.
class GuiMessageBox : public MessageBoxService {
 public:
  GuiMessageBox();
  ~GuiMessageBox() override;
  GuiMessageBox(const GuiMessageBox&) = delete;
  GuiMessageBox& operator=(const GuiMessageBox&) = delete;

  int Show(const std::string& text, const std::string& caption, unsigned buttons) override;
  void Shutdown();

 private:
  static int ShowOnGuiThread(const std::string& text, const std::string& caption, unsigned buttons);

  // Shared with queued calls, which may run after a caller gave up or this object is gone.
  struct State {
    std::mutex mutex;
    std::condition_variable answered;
    bool shutDown = false;
    std::set<std::string> openReports;  // reports queued or on screen: caption + text
  };
  std::shared_ptr<State> state_ = std::make_shared<State>();
  MessageBoxService* previous_ = nullptr;
};

}  // namespace lumarine
