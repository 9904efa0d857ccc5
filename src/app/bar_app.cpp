#include "app/bar_app.h"

#include <unistd.h>

#include <QApplication>
#include <QFont>
#include <QLocale>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "app/app_bar_mngr.h"
#include "app/gui_message_box.h"
#include "app/qt_translations.h"
#include "app/single_instance.h"
#include "base/bar_images.h"
#include "base/panel_header.h"
#include "channelbar/channel_bar.h"
#include "feeds/refresh_events.h"
#include "htmlview/html_ctrl_ex.h"
#include "online/usage_report.h"
#include "platform/file_io.h"
#include "platform/paths.h"
#include "platform/settings.h"
#include "platform/working_set.h"
#include "store/news_store.h"
#include "subjects/subject_bar.h"
#include "subjects/subject_url_template.h"

namespace lumarine {
namespace {

const BarApp* runningApp = nullptr;

// The header font and bitmap go with the application that made them.
void ReleasePanelHeader(const BarApp* app) {
  if (runningApp != app) return;
  runningApp = nullptr;
  PanelHeader::Use(nullptr, nullptr);
}

}  // namespace

BarApp::BarApp() = default;

BarApp::~BarApp() {
  ReleasePanelHeader(this);
  frame_.reset();
  dock_.reset();
}

int BarApp::Run(int argc, char** argv) {
  // Docking places the window and reserves its strip through X11 (XWayland on a Wayland
  // session); a native Wayland client cannot dock, so a platform chosen in the environment
  // (QT_QPA_PLATFORM=wayland is common on sway and KDE) is overridden.
  if (!std::getenv("DISPLAY")) {
    std::fprintf(stderr,
                 "lumarine: no X11 display found (DISPLAY is not set). The bar docks through "
                 "X11: start it from a desktop session (on Wayland, with XWayland), or "
                 "headless with: xvfb-run -a lumarine\n");
    return 1;
  }
  setenv("QT_QPA_PLATFORM", "xcb", 1);
  // The web engine's sandbox refuses to start as root; only then is it turned off.
  if (geteuid() == 0) setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 0);
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  CHtmlCtrlEx::PrepareEngine();

  QApplication application(argc, argv);
  QtTranslations::Install(application, QLocale::system());
  // One bar per user and profile: a later start asks this one to show itself and leaves.
  SingleInstance instance(ProfileFilePath("/profile"));
  if (!instance.Claim()) return 0;
  // Debris of an earlier run cut short between writing a file and renaming it.
  RemoveStaleTemporaryFiles(ProfileFilePath("/profile"));
  RemoveStaleTemporaryFiles(DataDirectory());
  RemoveStaleTemporaryFiles(XdgConfigHome() + "/autostart", "lumarine.desktop");
  QObject::connect(&instance, &SingleInstance::ShowRequested, [this] {
    if (frame_) frame_->ShowBar();
  });
  QApplication::setApplicationName("Lumarine");
  QApplication::setQuitOnLastWindowClosed(false);
  QApplication::setWindowIcon(AppIcon());
  GuiMessageBox messageBox;
  SubjectUrlTemplate::LoadFromSettings();
  // Workers waiting on a message box must not hold up their own join at exit.
  exitHooks_.insert(exitHooks_.begin(), [&messageBox] { messageBox.Shutdown(); });
  AddExitHook([this] {
    if (auto* channelBar = frame_ ? frame_->findChild<ChannelBar*>() : nullptr)
      channelBar->StopWorkers();
  });
  AddExitHook(ClearAllItems);
  AddExitHook([] { SendUsageReport(); });
  frameHooks_.createSubjectBar = &SubjectBar::Create;
  frameHooks_.createChannelBar = &ChannelBar::Create;
  frameHooks_.signalListRefresh = [] { ListRefreshEvent().Set(); };
  if (!InitInstance()) return ExitInstance(1);
  return ExitInstance(QApplication::exec());
}

bool BarApp::InitInstance() {
  dock_ = std::make_unique<CAppBarMngr>();
  // The panels show only when the splash ends, so the web engine behind them starts once the
  // bar stands at its edge, not before it is first mapped.
  frameHooks_.createPanelsLater = true;
  frame_ = std::make_unique<CMainFrame>(*dock_, frameHooks_);
  QObject::connect(frame_.get(), &CMainFrame::Closed, qApp, &QCoreApplication::quit,
                   Qt::QueuedConnection);
  frame_->hide();
  CMainFrame* frame = frame_.get();
  QObject::connect(
      dock_.get(), &CAppBarMngr::SlideFinished, frame, &CMainFrame::CreatePanels,
      static_cast<Qt::ConnectionType>(Qt::QueuedConnection | Qt::SingleShotConnection));
  QTimer::singleShot(kPanelsAtLatestMs, frame, &CMainFrame::CreatePanels);
  // Once the panels stand and their pages have loaded, most of what start-up touched (the web
  // engine's set-up above all) is not run again while the bar sits idle: hand it back.
  QTimer::singleShot(kTrimAfterStartMs, frame, [] { TrimWorkingSet(); });
  dock_->Attach(frame, kBarWidth, Settings::DockLeft());
  font_ = std::make_unique<QFont>(SongTiFont(12, 100));
  headerBitmap_ = HeaderStripImage();
  runningApp = this;
  PanelHeader::Use(font_.get(), &headerBitmap_);
  dock_->RegisterByMode();
  return true;
}

const QFont& BarApp::PanelHeaderFont() { return PanelHeader::Font(); }

const QImage& BarApp::PanelHeaderBitmap() { return PanelHeader::Bitmap(); }

int BarApp::ExitInstance(int code) {
  // However the loop ended, the strip is given back and the bar hidden before exit work.
  if (frame_) frame_->close();
  std::vector<std::function<void()>> hooks;
  hooks.swap(exitHooks_);
  for (auto& hook : hooks) hook();
  frame_.reset();
  ReleasePanelHeader(this);
  dock_.reset();
  font_.reset();
  headerBitmap_ = QImage();
  return code;
}

}  // namespace lumarine
