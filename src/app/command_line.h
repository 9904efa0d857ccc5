#pragma once

#include <string>
#include <vector>

namespace lumarine {

// The options a user may give the program. Everything else is refused before any window or
// file is touched, so a mistyped option never starts a bar.
class CommandLine {
 public:
  enum class Action { kRunBar, kRunDemo, kPrintHelp, kPrintVersion, kRefuse };

  // Reads the arguments after the program name.
  static CommandLine Parse(const std::vector<std::string>& arguments);

  Action Chosen() const { return action_; }
  // What to print before exiting (help, version, or the one-line error), and the status.
  const std::string& Output() const { return output_; }
  int ExitStatus() const { return action_ == Action::kRefuse ? 2 : 0; }

  static std::string HelpText();
  static std::string VersionText();
  // The build's version, as VersionText prints it ("0.1").
  static std::string Version();

 private:
  Action action_ = Action::kRunBar;
  std::string output_;
};

}  // namespace lumarine
