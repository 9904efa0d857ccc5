#include "app/news_notifier.h"

#include <QChildEvent>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>

#include "app/tray_badge.h"
#include "base/bar_images.h"
#include "base/news_notice.h"
#include "feeds/refresh_events.h"
#include "platform/settings.h"
#include "store/news_counter.h"

namespace lumarine {
namespace {

// The notification's "image-data" hint: raw RGBA rows, as the service expects them.
struct NotificationImage {
  int width = 0;
  int height = 0;
  int rowStride = 0;
  bool hasAlpha = true;
  int bitsPerSample = 8;
  int channels = 4;
  QByteArray data;
};

}  // namespace
}  // namespace lumarine

Q_DECLARE_METATYPE(lumarine::NotificationImage)

namespace lumarine {
namespace {

QDBusArgument& operator<<(QDBusArgument& argument, const NotificationImage& image) {
  argument.beginStructure();
  argument << image.width << image.height << image.rowStride << image.hasAlpha
           << image.bitsPerSample << image.channels << image.data;
  argument.endStructure();
  return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, NotificationImage& image) {
  argument.beginStructure();
  argument >> image.width >> image.height >> image.rowStride >> image.hasAlpha >>
      image.bitsPerSample >> image.channels >> image.data;
  argument.endStructure();
  return argument;
}

constexpr int kIconSize = 48;
constexpr int kBalloonMs = 10000;

NotificationImage IconImage() {
  const QImage icon = AppIconImage(kIconSize).convertToFormat(QImage::Format_RGBA8888);
  NotificationImage image;
  image.width = icon.width();
  image.height = icon.height();
  image.rowStride = static_cast<int>(icon.bytesPerLine());
  image.data = QByteArray(reinterpret_cast<const char*>(icon.constBits()),
                          static_cast<qsizetype>(icon.sizeInBytes()));
  return image;
}

bool AffectsVisibility(QEvent::Type type) {
  switch (type) {
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::Move:
    case QEvent::WindowStateChange:
      return true;
    default:
      return false;
  }
}

}  // namespace

NewsNotifier::NewsNotifier(NewsNotifierHooks hooks, QObject* parent)
    : QObject(parent), hooks_(std::move(hooks)) {
  seenUpTo_ = NewsCounter::LastRowId().value_or(0);
  qDBusRegisterMetaType<NotificationImage>();
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return;
  bus.connect(kService, kPath, kInterface, "ActionInvoked", this,
              SLOT(OnActionInvoked(uint, QString)));
  bus.connect(kService, kPath, kInterface, "NotificationClosed", this,
              SLOT(OnNotificationClosed(uint, uint)));
}

NewsNotifier::~NewsNotifier() = default;

void NewsNotifier::Watch(QWidget* widget) {
  if (widget == nullptr) return;
  widget->installEventFilter(this);
  for (QWidget* child : widget->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    child->installEventFilter(this);
}

bool NewsNotifier::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::ChildAdded) {
    // Panels are made later (the channel bar when first shown); follow them too.
    QObject* child = static_cast<QChildEvent*>(event)->child();
    if (child->isWidgetType()) child->installEventFilter(this);
  } else if (AffectsVisibility(event->type()) && !checkPending_) {
    // A slide moves the frame many times; one check after the events have settled is enough.
    checkPending_ = true;
    QTimer::singleShot(0, this, &NewsNotifier::CheckVisibility);
  }
  return QObject::eventFilter(watched, event);
}

void NewsNotifier::CheckVisibility() {
  checkPending_ = false;
  const bool visible = hooks_.listVisible && hooks_.listVisible();
  if (visible && !listWasVisible_) MarkSeen();
  listWasVisible_ = visible;
}

void NewsNotifier::MarkSeen() {
  seenUpTo_ = NewsCounter::LastRowId().value_or(seenUpTo_);
  unread_ = 0;
  ApplyBadge();
  // The user is looking at the news now: the announcement has done its work.
  if (notificationId_ != 0) {
    QDBusMessage close =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, "CloseNotification");
    close << notificationId_;
    QDBusConnection::sessionBus().asyncCall(close, kServiceTimeoutMs);
    notificationId_ = 0;
  }
}

void NewsNotifier::ApplyBadge() {
  QSystemTrayIcon* icon = hooks_.trayIcon ? hooks_.trayIcon() : nullptr;
  if (icon == nullptr) return;
  const int shown = Settings::Notify() ? unread_ : 0;
  icon->setIcon(TrayBadge::Icon(shown));
  icon->setToolTip(QString::fromStdString(NewsNotice::TrayTip(shown)));
}

void NewsNotifier::OnNewsStored(int count, const std::vector<std::string>& titles) {
  if (count <= 0) return;
  const bool visible = hooks_.listVisible && hooks_.listVisible();
  listWasVisible_ = visible;
  if (visible) {
    // The rows land on the list the user is looking at.
    MarkSeen();
    return;
  }
  if (!Settings::Notify()) {
    unread_ = 0;
    ApplyBadge();
    return;
  }
  unread_ = NewsCounter::CountAfter(seenUpTo_, ShownChannelName()).value_or(unread_ + count);
  ApplyBadge();
  SendNotification(count, titles);
}

void NewsNotifier::SendNotification(int count, const std::vector<std::string>& titles) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return ShowBalloon(count, titles);
  QVariantMap hints;
  hints.insert("image-data", QVariant::fromValue(IconImage()));
  QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, "Notify");
  // One of ours still on screen is replaced, so each stays clickable and none piles up.
  call << QString("Lumarine") << notificationId_ << QString()
       << QString::fromUtf8(NewsNotice::kSummary)
       << QString::fromStdString(NewsNotice::Body(count, titles, true))
       << QStringList{kDefaultAction, QString::fromUtf8("打开Lumarine")} << hints << int(-1);
  auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, kServiceTimeoutMs), this);
  connect(watcher, &QDBusPendingCallWatcher::finished, this,
          [this, count, titles](QDBusPendingCallWatcher* finished) {
            finished->deleteLater();
            const QDBusPendingReply<uint> reply = *finished;
            if (reply.isError()) return ShowBalloon(count, titles);
            notificationId_ = reply.value();
            emit Announced(Route::kService);
          });
}

void NewsNotifier::ShowBalloon(int count, const std::vector<std::string>& titles) {
  QSystemTrayIcon* icon = hooks_.trayIcon ? hooks_.trayIcon() : nullptr;
  if (icon == nullptr || !icon->isVisible() || !QSystemTrayIcon::supportsMessages()) {
    emit Announced(Route::kNothing);
    return;
  }
  if (balloonIcon_ != icon) {
    balloonIcon_ = icon;
    connect(icon, &QSystemTrayIcon::messageClicked, this, &NewsNotifier::ShowList);
  }
  icon->showMessage(QString::fromUtf8(NewsNotice::kSummary),
                    QString::fromStdString(NewsNotice::Body(count, titles, false)), AppIcon(),
                    kBalloonMs);
  emit Announced(Route::kBalloon);
}

void NewsNotifier::OnActionInvoked(uint id, const QString& actionKey) {
  if (id == 0 || id != notificationId_ || actionKey != kDefaultAction) return;
  ShowList();
}

void NewsNotifier::OnNotificationClosed(uint id, uint) {
  if (id == notificationId_) notificationId_ = 0;
}

void NewsNotifier::ShowList() {
  if (hooks_.showList) hooks_.showList();
}

}  // namespace lumarine
