#pragma once

#include <memory>

namespace lumarine {

class CMainFrame;

// The application object: prepares the process for Qt WebEngine, builds the main frame and
// runs the event loop.
class BarApp {
 public:
  BarApp();
  ~BarApp();

  // Runs the whole program; returns the process exit code.
  int Run(int argc, char** argv);

 private:
  bool InitInstance();
  int ExitInstance(int code);

  std::unique_ptr<CMainFrame> mainFrame_;
};

}  // namespace lumarine
