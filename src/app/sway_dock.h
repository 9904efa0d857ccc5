#pragma once

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>
#include <QTimer>
#include <optional>

namespace lumarine {

// Docking under sway (and other compositors that speak the i3 IPC protocol), which manage an
// X11 dock window as an ordinary tiled one: through the socket named by SWAYSOCK, the bar's
// window is made floating, sticky and borderless, placed at its edge across the height of the
// workspace, and the strip beside it is kept free with the workspaces' outer gap on that side.
// Main thread only; every request waits at most a short while for its answer.
class SwayDock {
 public:
  // The socket of the running compositor, or nothing outside sway.
  static std::optional<QString> SocketPath();
  // Whether sway places the windows: its socket is named, or the session says it is sway.
  static bool Running();

  explicit SwayDock(QString socketPath);
  ~SwayDock();

  // Places the window (an X11 window id) at the left or right edge; false when the compositor
  // does not know the window (yet) or cannot be reached.
  bool Place(unsigned long window, bool left, int width);
  // Keeps `reserved` pixels free at that edge of every workspace, or gives them back.
  bool ReserveStrip(bool left, int reserved);
  void ReleaseStrip();
  bool StripReserved() const { return reservedWidth_ > 0; }

  // One message of the i3 IPC protocol: "i3-ipc", payload length and type (native byte
  // order), then the payload.
  static QByteArray Message(quint32 type, const QByteArray& payload);
  static constexpr quint32 kRunCommand = 0;
  static constexpr quint32 kGetWorkspaces = 1;
  static constexpr quint32 kGetOutputs = 3;

 private:
  std::optional<QJsonDocument> Request(quint32 type, const QByteArray& payload);
  // The rectangle of the focused workspace or output (by the request type), or empty.
  QJsonObject FocusedRect(quint32 type);
  // Runs commands; true when every one succeeded.
  bool Run(const QString& commands);

  QString socketPath_;
  bool reservedLeft_ = true;
  int reservedWidth_ = 0;
};

}  // namespace lumarine
