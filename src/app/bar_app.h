#pragma once

#include <QImage>
#include <functional>
#include <memory>
#include <vector>

#include "app/main_frame.h"

class QFont;

namespace lumarine {

class CAppBarMngr;

// The application object: starts the dock manager and the main frame, docks the bar, and on
// shut-down runs the exit work of the other subsystems in the order it was registered.
class BarApp {
 public:
  static constexpr int kBarWidth = 200;
  // The panels are created once the start-up slide has ended, or after this at the latest.
  static constexpr int kPanelsAtLatestMs = 1000;
  // Start-up's pages are handed back this long after start (the panels show after 4 s).
  static constexpr int kTrimAfterStartMs = 15000;

  BarApp();
  ~BarApp();

  // Runs the whole program; returns the process exit code.
  int Run(int argc, char** argv);

  // Start-up and shut-down; public so that window tests can run them under their own
  // application object. Hooks must be in place before InitInstance.
  bool InitInstance();
  int ExitInstance(int code);

  // Exit work (emptying the news table, the usage report, stopping and joining workers)
  // runs after the bar has given back its strip and is hidden, in the order added.
  void AddExitHook(std::function<void()> hook) { exitHooks_.push_back(std::move(hook)); }
  MainFrameHooks& FrameHooks() { return frameHooks_; }

  CMainFrame* MainFrame() const { return frame_.get(); }
  CAppBarMngr* DockManager() const { return dock_.get(); }
  // The panel header font and bitmap 139, alive from the end of start-up to exit.
  const QFont* HeaderFont() const { return font_.get(); }
  const QImage& HeaderBitmap() const { return headerBitmap_; }

  // What the panels paint their headers with: the running application's font and bitmap 139,
  // or, for panels shown without a started application, one copy made for the process.
  static const QFont& PanelHeaderFont();
  static const QImage& PanelHeaderBitmap();

 private:
  std::unique_ptr<CAppBarMngr> dock_;
  std::unique_ptr<CMainFrame> frame_;
  std::unique_ptr<QFont> font_;
  QImage headerBitmap_;
  MainFrameHooks frameHooks_;
  std::vector<std::function<void()>> exitHooks_;
};

}  // namespace lumarine
