#pragma once

#include <QImage>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QWidget>
#include <functional>
#include <map>

class QAction;
class QMenu;

namespace lumarine {

class CAppBarMngr;
class NewsNotifier;

// What the frame gets from the subsystems built around it. Every member may stay empty.
struct MainFrameHooks {
  // Create the subject bar and the channel bar as hidden children of `frame`; empty hooks
  // give plain placeholder panels.
  std::function<QWidget*(QWidget* frame)> createSubjectBar;
  std::function<QWidget*(QWidget* frame)> createChannelBar;
  // Wakes the news list refresh when the channel bar is shown again.
  std::function<void()> signalListRefresh;
  // Whether a notification area exists; by default asks the desktop.
  std::function<bool()> trayAvailable;
  // The slogan shows and the panels wait this long after creation.
  int splashMilliseconds = 4000;
  // The panels (and the web engine behind them) are created by CreatePanels, called once the
  // bar is on screen, instead of during the frame's creation; the splash timer creates them at
  // the latest.
  bool createPanelsLater = false;
};

// The bar's one top-level window "Ledgewatch": borderless, always on top, no taskbar entry.
// Paints its title band, holds the subject bar above the channel bar with a splitter between,
// shows and hides the panels, goes to the notification area and starts shut-down.
class CMainFrame : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kBarWidth = 200;
  static constexpr int kTitleHeight = 30;

  CMainFrame(CAppBarMngr& dock, MainFrameHooks hooks = {});
  ~CMainFrame() override;

  QWidget* SubjectBar() const { return subjectBar_; }
  QWidget* ChannelBar() const { return channelBar_; }
  int SplitterPosition() const { return splitter_; }
  bool SplashShown() const { return splash_; }
  QMenu* MainMenu() const { return mainMenu_; }
  QMenu* TrayMenu() const { return trayMenu_; }
  QSystemTrayIcon* TrayIcon() const { return trayIcon_; }
  NewsNotifier* Notifier() const { return notifier_; }
  // Whether the user can see the news list: the frame on screen with its channel panel.
  bool NewsListVisible() const;
  // The entry of `commandId` in the MAIN or TrayIcon popup.
  QAction* MenuAction(int commandId) const;

  // Creates the panels that are not hidden, as hidden children; does nothing the second time.
  void CreatePanels();

  // The command switch of the frame: menu entries, tray entries.
  void OnCommand(int commandId);
  // Notification icon events.
  void OnTrayNotify(QSystemTrayIcon::ActivationReason reason);
  // Brings the bar into view: back from the notification area, or slid in when auto-hide
  // has taken it off the screen. Another start of the same profile asks for this.
  void ShowBar();

 signals:
  // The frame has given back its screen strip and hidden itself: exit work may start.
  void Closed();

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void timerEvent(QTimerEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  QWidget* CreatePanel(const std::function<QWidget*(QWidget*)>& factory, const char* name);
  void Relayout();
  QRect SplitterBand() const;
  void OnSplashTimer();
  void ToggleSubjectBar();
  void ToggleChannelBar();
  int SharedSplitter(int fallback) const;
  void ShowMainMenu();
  void GoToTray();
  void Restore();
  void ShowNewsList();
  void DestroyFrame();
  void OpenDialog(QWidget* dialog);
  QMenu* BuildMenu(std::initializer_list<std::pair<int, const char*>> entries);

  CAppBarMngr& dock_;
  MainFrameHooks hooks_;
  int splitter_ = 200;
  int sharedSplitter_ = -1;  // the split of both panels when one was last hidden; -1: none
  const int innerInset_ = 1;
  const int outerInset_ = 0;
  bool splash_ = true;
  int splashTimerId_ = 0;
  QPointer<QWidget> subjectBar_;
  QPointer<QWidget> channelBar_;
  bool subjectHidden_ = false;
  bool channelHidden_ = false;
  bool splitterDrag_ = false;
  bool destroyed_ = false;
  bool panelsCreated_ = false;
  QImage titleStrip_;
  QMenu* mainMenu_ = nullptr;
  QMenu* trayMenu_ = nullptr;
  QSystemTrayIcon* trayIcon_ = nullptr;
  NewsNotifier* notifier_ = nullptr;
  std::map<int, QAction*> actions_;
};

}  // namespace lumarine
