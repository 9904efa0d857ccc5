#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <QPointer>
#include <QTemporaryFile>
#include <QWidget>
#include <memory>

namespace lumarine {

// Keeps a dock window on every workspace. Some window managers (KWin) put a window that asks
// for every workspace on the current one when they take it on, or later; the keeper watches
// the window's workspace and asks again: first as the window manager protocol says (client
// messages for the workspace and the sticky state), and where KWin still refuses, through
// KWin's scripting service on the session bus. Owned by the window it keeps (Qt parent);
// main thread only.
class AllDesktopsKeeper : public QObject, public QAbstractNativeEventFilter {
  Q_OBJECT

 public:
  // What put the window on every workspace, last time it got there.
  enum class Means { kNone, kProperty, kClientMessage, kKWinScript };

  explicit AllDesktopsKeeper(QWidget* window);
  ~AllDesktopsKeeper() override;

  Means Succeeded() const { return succeeded_; }
  static const char* MeansName(Means means);

  bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

 signals:
  void OnAllDesktops(Means means);

 private:
  void Check();
  bool RunKWinScript();

  // Client messages before the script; the window manager answers each with a change.
  static constexpr int kMaxAsks = 2;

  QPointer<QWidget> window_;
  int asks_ = 0;
  bool scriptRun_ = false;
  Means tried_ = Means::kProperty;
  Means succeeded_ = Means::kNone;
  // KWin reads the script after the call that runs it returns; kept until the next script.
  std::unique_ptr<QTemporaryFile> script_;
};

}  // namespace lumarine
