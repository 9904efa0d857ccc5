#include "support/notification_recorder.h"

#include <QDBusMessage>
#include <atomic>

namespace lumarine::test {
namespace {

constexpr const char* kService = "org.freedesktop.Notifications";
constexpr const char* kPath = "/org/freedesktop/Notifications";

QString NextConnectionName() {
  static std::atomic<int> next{0};
  return QString("notification-recorder-%1").arg(next++);
}

}  // namespace

NotificationRecorder::NotificationRecorder()
    : connection_(
          QDBusConnection::connectToBus(QDBusConnection::SessionBus, NextConnectionName())) {
  registered_ = connection_.isConnected() &&
                connection_.registerObject(kPath, this, QDBusConnection::ExportAllSlots) &&
                connection_.registerService(kService);
}

NotificationRecorder::~NotificationRecorder() {
  connection_.unregisterService(kService);
  connection_.unregisterObject(kPath);
  QDBusConnection::disconnectFromBus(connection_.name());
}

void NotificationRecorder::InvokeAction(uint id, const QString& key) {
  QDBusMessage signal = QDBusMessage::createSignal(kPath, kService, "ActionInvoked");
  signal << id << key;
  connection_.send(signal);
}

uint NotificationRecorder::Notify(const QString& appName, uint replacesId, const QString& appIcon,
                                  const QString& summary, const QString& body,
                                  const QStringList& actions, const QVariantMap& hints,
                                  int timeout) {
  // As the service does: a replaced notification keeps its id.
  const uint id = replacesId != 0 ? replacesId : static_cast<uint>(calls_.size()) + 41;
  calls_.push_back({appName, replacesId, appIcon, summary, body, actions, hints, timeout, id});
  return id;
}

void NotificationRecorder::CloseNotification(uint id) { closed_.push_back(id); }

QStringList NotificationRecorder::GetCapabilities() { return {"actions", "body", "body-markup"}; }

}  // namespace lumarine::test
