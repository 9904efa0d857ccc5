#pragma once

#include <string>

namespace lumarine {

// Button sets and answers, numbered as the desktop message box numbers them.
enum MessageBoxButtons : unsigned { kMbOk = 0, kMbOkCancel = 1, kMbYesNo = 4 };
enum MessageBoxAnswer : int { kIdOk = 1, kIdCancel = 2, kIdYes = 6, kIdNo = 7 };

// Shows a message to the user from any thread and blocks the caller until it is closed.
// The GUI installs a service that shows a dialog on its own thread; tests install recorders.
class MessageBoxService {
 public:
  virtual ~MessageBoxService() = default;
  virtual int Show(const std::string& text, const std::string& caption, unsigned buttons) = 0;
};

// Installs the process-wide service (not owned; nullptr restores the default, which
// writes the message to standard error and answers OK). Returns the previous one.
MessageBoxService* SetMessageBoxService(MessageBoxService* service);

int ShowMessageBox(const std::string& text, const std::string& caption = "",
                   unsigned buttons = kMbOk);

}  // namespace lumarine
