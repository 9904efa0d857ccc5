#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <string>
#include <vector>

class QSystemTrayIcon;

namespace lumarine {

// What the notifier needs from the main frame.
struct NewsNotifierHooks {
  // Whether the user can see the news list now.
  std::function<bool()> listVisible;
  // Brings the bar and its news list into view.
  std::function<void()> showList;
  // The notification icon, or null while there is none.
  std::function<QSystemTrayIcon*()> trayIcon;
};

// Tells a user who cannot see the news list that news arrived: one desktop notification per
// pass through the session bus's notification service (the tray balloon where there is no
// service), and the count of rows not seen yet on the tray icon and in its tip. Whatever the
// bus does, nothing here waits for it. GUI thread only; owned by the frame as a Qt child.
class NewsNotifier : public QObject {
  Q_OBJECT

 public:
  static constexpr const char* kService = "org.freedesktop.Notifications";
  static constexpr const char* kPath = "/org/freedesktop/Notifications";
  static constexpr const char* kInterface = "org.freedesktop.Notifications";
  static constexpr const char* kDefaultAction = "default";
  // How long the service may take to answer before the balloon is used instead.
  static constexpr int kServiceTimeoutMs = 5000;

  enum class Route { kNothing, kService, kBalloon };
  Q_ENUM(Route)

  NewsNotifier(NewsNotifierHooks hooks, QObject* parent = nullptr);
  ~NewsNotifier() override;

  // Follows `widget` and its child widgets showing, hiding and moving, to notice when the
  // list comes into view.
  void Watch(QWidget* widget);

  // A pass stored `count` new rows; `titles` are the first of them.
  void OnNewsStored(int count, const std::vector<std::string>& titles);

  // Puts the unread count on the tray icon and into its tip (also after the icon was made).
  void ApplyBadge();

  // Rows stored since the list was last in view, for the channel on show.
  int Unread() const { return unread_; }

 signals:
  // Each announced pass, with the way it went out (tests wait for it).
  void Announced(lumarine::NewsNotifier::Route route);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private slots:
  void OnActionInvoked(uint id, const QString& actionKey);
  void OnNotificationClosed(uint id, uint reason);

 private:
  void CheckVisibility();
  void MarkSeen();
  void SendNotification(int count, const std::vector<std::string>& titles);
  void ShowBalloon(int count, const std::vector<std::string>& titles);
  void ShowList();

  NewsNotifierHooks hooks_;
  long long seenUpTo_ = 0;  // the last row id when the list was last in view
  int unread_ = 0;
  bool listWasVisible_ = true;
  bool checkPending_ = false;
  uint notificationId_ = 0;  // the one our last notification got; 0: none open
  QPointer<QSystemTrayIcon> balloonIcon_;
};

}  // namespace lumarine
