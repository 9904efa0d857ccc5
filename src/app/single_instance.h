#pragma once

#include <QObject>
#include <memory>
#include <string>

class QLocalServer;

namespace lumarine {

// One bar per user and profile. The first start listens on a local socket in the user's
// runtime directory, named after the profile directory; a later start of the same profile
// finds it, asks that bar to show itself and exits. Main thread only.
class SingleInstance : public QObject {
  Q_OBJECT

 public:
  explicit SingleInstance(const std::string& profileDirectory, QObject* parent = nullptr);
  ~SingleInstance() override;

  // True when this process is now the profile's one bar; false when another bar was found
  // and has been asked to show itself. A socket left behind by a killed bar is taken over.
  bool Claim();

  // The socket's full path: $XDG_RUNTIME_DIR (or /tmp) and a digest of the profile path.
  static std::string SocketPath(const std::string& profileDirectory);

 signals:
  // Another start of the same profile asked this bar to show itself.
  void ShowRequested();

 private:
  bool AskRunningBar();
  void OnNewConnection();

  std::string socketPath_;
  std::unique_ptr<QLocalServer> server_;
};

}  // namespace lumarine
