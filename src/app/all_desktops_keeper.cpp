#include "app/all_desktops_keeper.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusReply>
#include <QDir>
#include <QMetaObject>

#include "app/x11_dock_properties.h"

namespace lumarine {
namespace {

constexpr char kKWinService[] = "org.kde.KWin";
constexpr char kScriptName[] = "lumarine-all-desktops";
constexpr int kDBusTimeoutMs = 2000;

// KWin 5 lists its windows with clientList(), KWin 6 with windowList().
QString KWinScriptFor(WId window) {
  return QStringLiteral(
             "var list = workspace.windowList ? workspace.windowList() : workspace.clientList();\n"
             "for (var i = 0; i < list.length; ++i) {\n"
             "  if (list[i].windowId == %1) list[i].onAllDesktops = true;\n"
             "}\n")
      .arg(window);
}

}  // namespace

AllDesktopsKeeper::AllDesktopsKeeper(QWidget* window) : QObject(window), window_(window) {
  QCoreApplication::instance()->installNativeEventFilter(this);
}

AllDesktopsKeeper::~AllDesktopsKeeper() {
  if (QCoreApplication::instance()) QCoreApplication::instance()->removeNativeEventFilter(this);
}

const char* AllDesktopsKeeper::MeansName(Means means) {
  switch (means) {
    case Means::kProperty:
      return "the property set before mapping";
    case Means::kClientMessage:
      return "the client messages";
    case Means::kKWinScript:
      return "the KWin script";
    case Means::kNone:
      break;
  }
  return "nothing";
}

bool AllDesktopsKeeper::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
  if (eventType == "xcb_generic_event_t" && window_ && window_->internalWinId() != 0 &&
      x11::IsDesktopChange(message, window_)) {
    // Reading the property back inside the event filter would nest event processing.
    QMetaObject::invokeMethod(this, &AllDesktopsKeeper::Check, Qt::QueuedConnection);
  }
  return false;
}

void AllDesktopsKeeper::Check() {
  if (!window_ || !window_->isVisible()) return;
  const std::vector<std::uint32_t> desktop = x11::ReadCardinals(window_, "_NET_WM_DESKTOP");
  if (desktop.empty()) return;  // not managed (yet)
  if (desktop.front() == x11::kAllDesktops) {
    if (succeeded_ != tried_) emit OnAllDesktops(tried_);
    succeeded_ = tried_;
    // Moved again later, it is asked again from the start.
    asks_ = 0;
    scriptRun_ = false;
    return;
  }
  succeeded_ = Means::kNone;
  if (asks_ < kMaxAsks) {
    ++asks_;
    tried_ = Means::kClientMessage;
    x11::AskForAllDesktops(window_);
  } else if (!scriptRun_) {
    scriptRun_ = true;
    if (RunKWinScript()) tried_ = Means::kKWinScript;
  }
}

bool AllDesktopsKeeper::RunKWinScript() {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected() || !bus.interface() ||
      !bus.interface()->isServiceRegistered(kKWinService).value())
    return false;
  script_ = std::make_unique<QTemporaryFile>(QDir::tempPath() + "/lumarine-XXXXXX.js");
  if (!script_->open() || script_->write(KWinScriptFor(window_->internalWinId()).toUtf8()) < 0 ||
      !script_->flush())
    return false;
  QDBusInterface scripting(kKWinService, "/Scripting", "org.kde.kwin.Scripting", bus);
  scripting.setTimeout(kDBusTimeoutMs);
  // A script of that name from an earlier try would refuse the new one.
  scripting.call("unloadScript", QString(kScriptName));
  const QDBusReply<int> id =
      scripting.call("loadScript", script_->fileName(), QString(kScriptName));
  if (!id.isValid() || id.value() < 0) return false;
  // The script's object is /<number> in KWin 5 and /Scripting/Script<number> in KWin 6.
  for (const QString& path : {QStringLiteral("/%1").arg(id.value()),
                              QStringLiteral("/Scripting/Script%1").arg(id.value())}) {
    QDBusInterface script(kKWinService, path, "org.kde.kwin.Script", bus);
    script.setTimeout(kDBusTimeoutMs);
    if (script.call("run").type() != QDBusMessage::ErrorMessage) return true;
  }
  return false;
}

}  // namespace lumarine
