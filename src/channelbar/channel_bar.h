#pragma once

#include <QImage>
#include <QPoint>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "channelbar/news_list_page.h"
#include "feeds/channel_bar_link.h"
#include "feeds/channel_list.h"
#include "feeds/feed_health_book.h"
#include "feeds/worker_timing.h"
#include "htmlview/html_page_dialog.h"

class QLineEdit;
class QMenu;

namespace lumarine {

class LabelButton;
class NewsListLoader;
class NewsRowEvent;
class RecommendWorker;
class RefreshWorker;
class SubscriptionChangedEvent;
class UnreadWatcher;

// The lower panel of the main frame: a header with the web search box, the channel selector
// and the CHANNEL menu button, above the news list page. It owns the subscribed channels and
// the background workers that fill the page, and is the bar those workers talk to.
//
// GUI thread only, except the ChannelBarLink members, which the workers call from theirs.
// The destructor stops and joins every worker before anything they use goes away.
class ChannelBar : public HtmlPageDialog, public ChannelBarLink {
  Q_OBJECT

 public:
  static constexpr int kHeaderHeight = 43;
  static constexpr int kScrollStep = 30;
  static constexpr int kSmallestFont = 10;
  static constexpr int kLargestFont = 15;
  static constexpr const char* kAllChannels = "全部频道";

  // Child controls, found by their number as object name.
  enum Control : int {
    kPagePlaceholder = 1000,
    kChannelSelector = 1008,
    kMenuButton = 1009,
    kSearchEdit = 1036,
    kSearchButton = 1037,
  };

  // Loads the subscribed channels and starts the refresh worker and the unread watcher.
  explicit ChannelBar(QWidget* frame, WorkerTiming timing = {});
  ~ChannelBar() override;

  // Stops and joins every worker; the bar shows what it has from then on. Exit calls it
  // before emptying the news table, so that no pass stores rows after that.
  void StopWorkers();

  // What the application puts into MainFrameHooks::createChannelBar.
  static QWidget* Create(QWidget* frame);

  // The web search address for `text`, percent-encoded as UTF-8 so any text arrives intact.
  static std::string SearchAddress(const QString& text);

  // ChannelBarLink, called from worker threads.
  void PostUnreadReady(std::string channelName) override;
  bool SendNewsRow(const RssItem& item, std::stop_token stop) override;
  // Handed on to the frame, which tells a user who cannot see the list.
  void PostNewsStored(int count, std::vector<std::string> titles) override;
  void PostRefreshPassDone() override;
  bool IsAlive() const override;

  // The first completed page starts the recommendation worker.
  void OnDocumentReady() override;
  // The page's links: the channel manager (32775) and the rows already read.
  void OnAppCommand(unsigned commandId, const std::string& argument) override;

  // The command switch: CHANNEL menu entries, the arrow keys, channel menu entries.
  void OnCommand(int commandId);
  // A label button was pressed.
  void OnLabelButton(int kind);

  // The channel menu: every channel from kCmdFirstChannel in list order, a separator and
  // "全部频道". Numbers the channels as it goes.
  std::unique_ptr<QMenu> BuildChannelMenu();
  // The CHANNEL menu with its "字 体" sub-menu.
  std::unique_ptr<QMenu> BuildCommandMenu();
  // Shows the channel of that channel menu id, or all channels for any other id.
  void ChooseChannelById(int commandId);

  ChannelList& Channels() { return channels_; }
  // What each feed's last download in this run gave; the channel dialogs show it.
  const FeedHealthBook& Health() const { return feedHealth_; }
  NewsListPage& Page() { return page_; }
  LabelButton* ChannelSelector() const { return selector_; }
  QLineEdit* SearchEdit() const { return searchEdit_; }
  bool RecommendStarted() const { return recommendStarted_; }

  // A panel is not closed by the Escape key.
  void reject() override {}

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  // Shows a popup menu at `at` (global) and returns the chosen command id, 0 for none.
  // A seam for tests, which cannot click through a modal popup.
  virtual int RunPopupMenu(QMenu& menu, const QPoint& at);
  // Runs the channel manager modally.
  virtual void RunChannelManager();

 private:
  void Layout();
  void ApplyRoundedRegion();
  void ShowChannel(const std::string& name);
  void ChangeFontSize(bool larger);
  void Search();
  void OnUnreadReady(const std::string& channelName);
  void OnNewsRow(NewsRowEvent& row);
  void OnSubscriptionChanged(const SubscriptionChangedEvent& changed);
  // From the first refresh pass (or the notice delay) on, an empty list says why.
  void ArmListNotice();
  void UpdateListNotice();
  // Adds the shown channel's rows already read under the list, loaded on a thread of its own.
  void ShowReadNews();

  WorkerTiming timing_;
  ChannelList channels_;
  FeedHealthBook feedHealth_;
  NewsListPage page_;
  LabelButton* selector_;      // child
  LabelButton* menuButton_;    // child
  LabelButton* searchButton_;  // child
  QLineEdit* searchEdit_;      // child
  bool recommendStarted_ = false;
  bool listNoticeArmed_ = false;

  // Rows handed over by showing passes; see NewsRowEvent::HandOver.
  std::mutex handOverMutex_;
  std::condition_variable_any handOverChanged_;
  std::atomic<bool> closing_{false};

  // Declared last, stopped explicitly in the destructor before the members above go.
  std::unique_ptr<RefreshWorker> refreshWorker_;
  std::unique_ptr<UnreadWatcher> unreadWatcher_;
  std::unique_ptr<RecommendWorker> recommendWorker_;
  std::unique_ptr<NewsListLoader> loader_;
  std::jthread readNewsLoader_;  // the last read-again load
};

}  // namespace lumarine
