#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QStringList>
#include <QVariantMap>
#include <vector>

namespace lumarine::test {

// The desktop's notification service as a test sees it: owns org.freedesktop.Notifications on
// the session bus, through a connection of its own so that it is a separate peer, and records
// what it is asked. Calls reach it through the event loop of its thread.
class NotificationRecorder : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

 public:
  struct Call {
    QString appName;
    uint replacesId = 0;
    QString appIcon;
    QString summary;
    QString body;
    QStringList actions;
    QVariantMap hints;
    int timeout = 0;
    uint id = 0;  // the id it was given
  };

  NotificationRecorder();
  ~NotificationRecorder() override;

  // Whether it owns the service name.
  bool Registered() const { return registered_; }
  const std::vector<Call>& Calls() const { return calls_; }
  const std::vector<uint>& Closed() const { return closed_; }

  // Emits ActionInvoked(id, key), as the service does when the user clicks a notification.
  void InvokeAction(uint id, const QString& key);

 public slots:
  uint Notify(const QString& appName, uint replacesId, const QString& appIcon,
              const QString& summary, const QString& body, const QStringList& actions,
              const QVariantMap& hints, int timeout);
  void CloseNotification(uint id);
  QStringList GetCapabilities();

 private:
  QDBusConnection connection_;
  bool registered_ = false;
  std::vector<Call> calls_;
  std::vector<uint> closed_;
};

}  // namespace lumarine::test
