#include "app/bar_app.h"

#include <unistd.h>

#include <QApplication>
#include <QtWebEngineCore/QtWebEngineCore>
#include <cstdio>
#include <cstdlib>

#include "app/main_frame.h"
#include "htmlview/html_ctrl_ex.h"

namespace lumarine {

BarApp::BarApp() = default;
BarApp::~BarApp() = default;

int BarApp::Run(int argc, char** argv) {
  if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) {
    std::fprintf(stderr,
                 "lumarine: no display found (DISPLAY is not set). Start it from a desktop "
                 "session, or headless with: xvfb-run -a lumarine\n");
    return 1;
  }
  // Docking reserves a screen strip through X11 properties, so run on X11 (or XWayland).
  setenv("QT_QPA_PLATFORM", "xcb", 0);
  // The web engine's sandbox refuses to start as root; only then is it turned off.
  if (geteuid() == 0) setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 0);
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  CHtmlCtrlEx::RegisterAppScheme();

  QApplication application(argc, argv);
  QApplication::setApplicationName("Lumarine");
  QApplication::setQuitOnLastWindowClosed(false);
  if (!InitInstance()) return ExitInstance(1);
  return ExitInstance(QApplication::exec());
}

bool BarApp::InitInstance() {
  mainFrame_ = std::make_unique<CMainFrame>();
  mainFrame_->Dock();
  QObject::connect(mainFrame_.get(), &CMainFrame::Closed, qApp, &QCoreApplication::quit);
  return true;
}

int BarApp::ExitInstance(int code) {
  mainFrame_.reset();
  return code;
}

}  // namespace lumarine
