#include "channelbar/channel_bar.h"

#include <QAction>
#include <QCoreApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QRegion>
#include <QTimer>
#include <QUrl>
#include <algorithm>

#include "base/bar_images.h"
#include "base/command_ids.h"
#include "base/label_button.h"
#include "base/message_ids.h"
#include "base/news_stored_event.h"
#include "base/panel_header.h"
#include "base/user_message_event.h"
#include "channelbar/channel_opml_command.h"
#include "channelbar/news_row_event.h"
#include "channelbar/news_row_format.h"
#include "channelbar/subscription_changed_event.h"
#include "channelbar/unread_ready_event.h"
#include "dialogs/channel_manager_dialog.h"
#include "feeds/channel_store.h"
#include "feeds/news_list_loader.h"
#include "feeds/recommend_worker.h"
#include "feeds/refresh_events.h"
#include "feeds/refresh_worker.h"
#include "feeds/unread_watcher.h"
#include "htmlview/app_commands.h"
#include "htmlview/html_ctrl_ex.h"
#include "platform/settings.h"
#include "platform/shell_open.h"
#include "platform/text_codec.h"
#include "store/news_store.h"

namespace lumarine {
namespace {

// Dialog units are 1.5 pixels: the template's 141 x 468 bar and its controls.
constexpr QSize kTemplateSize(211, 702);
constexpr QRect kPagePlaceholderRect(0, 75, 200, 608);
constexpr QRect kSelectorTemplateRect(188, 45, 12, 12);
constexpr QRect kMenuButtonTemplateRect(150, 21, 12, 12);
constexpr QRect kSearchEditRect(0, 0, 146, 21);
constexpr QRect kSearchButtonRect(146, 3, 48, 17);

constexpr const char* kLoadingMarker = NewsListPage::kLoadingMarker;

LabelButton* MakeLabelButton(QWidget* parent, int id, const QRect& place, int kind) {
  auto* button = new LabelButton(parent);
  button->setObjectName(QString::number(id));
  button->setGeometry(place);
  button->SetKind(kind);
  return button;
}

QAction* AddCommand(QMenu& menu, int id, const char* text) {
  QAction* action = menu.addAction(QString::fromUtf8(text));
  action->setData(id);
  return action;
}

}  // namespace

ChannelBar::ChannelBar(QWidget* frame, WorkerTiming timing)
    : HtmlPageDialog(frame, kHtmlNewsList, kPagePlaceholder, kPagePlaceholderRect, 0),
      timing_(timing),
      page_(View()),
      selector_(MakeLabelButton(this, kChannelSelector, kSelectorTemplateRect,
                                LabelButton::kTextWithArrow)),
      menuButton_(MakeLabelButton(this, kMenuButton, kMenuButtonTemplateRect, LabelButton::kMenu)),
      searchButton_(MakeLabelButton(this, kSearchButton, kSearchButtonRect, LabelButton::kPlain)),
      searchEdit_(new QLineEdit(this)) {
  // A panel inside the frame, not a window of its own.
  setWindowFlags(Qt::Widget);
  ListRefreshEvent().Reset();
  FeedRefreshEvent().Reset();
  searchEdit_->setObjectName(QString::number(kSearchEdit));
  searchEdit_->setGeometry(kSearchEditRect);
  searchButton_->SetText(QString::fromUtf8("搜索"));
  connect(searchEdit_, &QLineEdit::returnPressed, this, &ChannelBar::Search);
  resize(kTemplateSize);

  View()->SetFontSize(Settings::ChannelFontSize());
  ApplyRoundedRegion();
  selector_->SetText(QString::fromUtf8(kAllChannels));
  channels_.Reset(ChannelStore::LoadSubscribedChannels());

  loader_ = std::make_unique<NewsListLoader>(*this, timing_);
  refreshWorker_ =
      std::make_unique<RefreshWorker>(channels_, *this, timing_, SystemTickCount, &feedHealth_);
  refreshWorker_->Start();
  unreadWatcher_ = std::make_unique<UnreadWatcher>(channels_, *this, timing_);
  unreadWatcher_->Start();
  QTimer::singleShot(timing_.listNoticeDelay, this, [this] { ArmListNotice(); });
}

ChannelBar::~ChannelBar() { StopWorkers(); }

void ChannelBar::StopWorkers() {
  {
    std::lock_guard lock(handOverMutex_);
    closing_ = true;
  }
  // Releases every pass waiting for a row to be taken; then each worker is stopped and
  // joined while the channel list and this bar still exist.
  handOverChanged_.notify_all();
  readNewsLoader_.request_stop();
  if (readNewsLoader_.joinable()) readNewsLoader_.join();
  loader_.reset();
  recommendWorker_.reset();
  unreadWatcher_.reset();
  refreshWorker_.reset();
}

QWidget* ChannelBar::Create(QWidget* frame) { return new ChannelBar(frame); }

std::string ChannelBar::SearchAddress(const QString& text) {
  return "https://www.baidu.com/baidu?wd=" + QUrl::toPercentEncoding(text).toStdString() +
         "&tn=monline_dg";
}

// ---- the bar as the workers see it ----

void ChannelBar::PostUnreadReady(std::string channelName) {
  if (closing_) return;
  QCoreApplication::postEvent(this, new UnreadReadyEvent(std::move(channelName)));
}

bool ChannelBar::SendNewsRow(const RssItem& item, std::stop_token stop) {
  if (closing_) return false;
  auto handOver = std::make_shared<NewsRowEvent::HandOver>();
  QCoreApplication::postEvent(this, new NewsRowEvent(item, handOver));
  std::unique_lock lock(handOverMutex_);
  handOverChanged_.wait(lock, stop, [&] { return handOver->taken || closing_.load(); });
  if (handOver->taken) return true;
  handOver->abandoned = true;
  return false;
}

void ChannelBar::PostNewsStored(int count, std::vector<std::string> titles) {
  if (closing_) return;
  QCoreApplication::postEvent(this, new NewsStoredEvent(count, std::move(titles)));
}

void ChannelBar::PostRefreshPassDone() {
  if (closing_) return;
  QMetaObject::invokeMethod(
      this, [this] { ArmListNotice(); }, Qt::QueuedConnection);
}

bool ChannelBar::IsAlive() const { return !closing_; }

void ChannelBar::OnNewsRow(NewsRowEvent& row) {
  {
    std::lock_guard lock(handOverMutex_);
    if (row.handOver->abandoned) return;
    row.handOver->taken = true;
  }
  handOverChanged_.notify_all();
  page_.InsertNewsRow(row.item);
}

// ---- messages and commands ----

bool ChannelBar::event(QEvent* event) {
  switch (static_cast<int>(event->type())) {
    case kMsgCommand:
      OnCommand(static_cast<int>(static_cast<UserMessageEvent*>(event)->First()));
      return true;
    case kMsgLabelButton:
      OnLabelButton(static_cast<int>(static_cast<UserMessageEvent*>(event)->Second()));
      return true;
    case kMsgUnreadReady:
      OnUnreadReady(static_cast<UnreadReadyEvent*>(event)->channelName);
      return true;
    case kMsgChannelSubscription:
      OnSubscriptionChanged(*static_cast<SubscriptionChangedEvent*>(event));
      return true;
    case kMsgInsertNewsRow:
      OnNewsRow(*static_cast<NewsRowEvent*>(event));
      return true;
    case kMsgNewsStored:
      if (parentWidget()) QCoreApplication::sendEvent(parentWidget(), event);
      return true;
    default:
      return HtmlPageDialog::event(event);
  }
}

void ChannelBar::OnCommand(int commandId) {
  switch (commandId) {
    case kCmdRefreshChannel:
      // Download now what is shown (conditional requests keep unchanged feeds cheap); the
      // showing pass runs at once and again when the downloads stored news.
      channels_.RequestRefresh(channels_.CurrentName());
      FeedRefreshEvent().Set();
      ListRefreshEvent().Set();
      break;
    case kCmdScrollDown:
      ScrollBy(true, kScrollStep);
      break;
    case kCmdScrollUp:
      ScrollBy(false, kScrollStep);
      break;
    case kCmdFontLarger:
      ChangeFontSize(true);
      break;
    case kCmdFontSmaller:
      ChangeFontSize(false);
      break;
    case kCmdManageChannels:
      RunChannelManager();
      break;
    case kCmdCloseChannelBar:
      PostUserMessage(parentWidget(), kMsgToggleChannelBar);
      break;
    case kCmdExportChannelsOpml:
      AskAndExportChannelsOpml(this);
      break;
    default:
      break;
  }
}

void ChannelBar::OnLabelButton(int kind) {
  switch (kind) {
    case LabelButton::kTextWithArrow: {
      std::unique_ptr<QMenu> menu = BuildChannelMenu();
      const int chosen =
          RunPopupMenu(*menu, selector_->mapToGlobal(selector_->rect().bottomLeft()));
      if (chosen != 0) ChooseChannelById(chosen);
      break;
    }
    case LabelButton::kMenu: {
      std::unique_ptr<QMenu> menu = BuildCommandMenu();
      const int chosen =
          RunPopupMenu(*menu, menuButton_->mapToGlobal(menuButton_->rect().bottomLeft()));
      PostCommand(this, chosen);
      break;
    }
    case LabelButton::kPlain:
      Search();
      break;
    default:
      break;
  }
}

int ChannelBar::RunPopupMenu(QMenu& menu, const QPoint& at) {
  QPointer<ChannelBar> self(this);
  const QAction* chosen = menu.exec(at);
  if (!self || chosen == nullptr) return 0;
  return chosen->data().toInt();
}

void ChannelBar::RunChannelManager() {
  // Parented to the bar, so it goes with the bar if the program ends while it is open.
  QPointer<ChannelManagerDialog> dialog = new ChannelManagerDialog(this, this, &feedHealth_);
  dialog->setWindowFlag(Qt::WindowStaysOnTopHint);  // never beneath the top-most bar
  dialog->exec();
  delete dialog.data();
}

// ---- menus and channels ----

std::unique_ptr<QMenu> ChannelBar::BuildChannelMenu() {
  channels_.NumberMenuCommands(kCmdFirstChannel);
  auto menu = std::make_unique<QMenu>();
  int id = kCmdFirstChannel;
  for (const std::string& name : channels_.Names()) {
    QAction* action = menu->addAction(QString::fromStdString(name));
    action->setData(id++);
  }
  menu->addSeparator();
  AddCommand(*menu, id, kAllChannels);
  return menu;
}

std::unique_ptr<QMenu> ChannelBar::BuildCommandMenu() {
  auto menu = std::make_unique<QMenu>();
  menu->setTitle("CHANNEL");
  AddCommand(*menu, kCmdRefreshChannel, "刷新当前频道");
  AddCommand(*menu, kCmdScrollDown, "向上滚动(或↓键)");
  AddCommand(*menu, kCmdScrollUp, "向下滚动(或↑键)");
  QMenu* font = menu->addMenu(QString::fromUtf8("字 体"));
  AddCommand(*font, kCmdFontLarger, "增大字体");
  AddCommand(*font, kCmdFontSmaller, "缩小字体");
  AddCommand(*menu, kCmdManageChannels, "添加删除频道...");
  AddCommand(*menu, kCmdExportChannelsOpml, "导出频道到OPML...");
  AddCommand(*menu, kCmdCloseChannelBar, "关闭频道栏");
  return menu;
}

void ChannelBar::ChooseChannelById(int commandId) {
  const std::optional<std::string> name = channels_.NameOfCommand(commandId);
  ShowChannel(name.value_or(std::string()));
}

// Shows one channel (empty name: all channels) on a fresh page.
void ChannelBar::ShowChannel(const std::string& name) {
  selector_->SetText(QString::fromStdString(name.empty() ? kAllChannels : name));
  // Passes still running belong to the page being replaced; their rows must not land on the
  // new one. Rows they did not hand over stay unread for a later pass.
  if (loader_) loader_->StopAll();
  page_.Reload();
  channels_.SetCurrent(name);
  page_.SetElementHidden(kLoadingMarker, true);
  ListRefreshEvent().Set();
  UpdateListNotice();
}

void ChannelBar::OnUnreadReady(const std::string& channelName) {
  // A check made for the channel shown before the last choice: the choice has asked for a
  // check of its own, and rows of the old channel would not belong on this page.
  if (channelName != channels_.CurrentName()) return;
  if (!loader_) return;  // the workers have been stopped for exit
  page_.SetElementHidden(kLoadingMarker, true);
  SetShownChannelName(channelName);
  loader_->StartPass();
  page_.SetElementHidden(kLoadingMarker, true);
}

void ChannelBar::OnSubscriptionChanged(const SubscriptionChangedEvent& changed) {
  if (changed.change == SubscriptionChangedEvent::Change::kFeedsEdited) {
    if (channels_.SetFeeds(changed.channelName,
                           ChannelStore::LoadEnabledFeeds(changed.channelName)))
      FeedRefreshEvent().Set();
    UpdateListNotice();
    return;
  }
  if (changed.change == SubscriptionChangedEvent::Change::kUnsubscribed) {
    for (const std::string& name : channels_.Names()) {
      if (!EqualsNoCase(name, changed.channelName)) continue;
      const bool wasShown = !channels_.CurrentName().empty();
      channels_.Remove(name);
      // The channel on show is gone: show all channels rather than a page nobody chose.
      if (wasShown && channels_.CurrentName().empty()) ShowChannel(std::string());
      UpdateListNotice();
      return;
    }
    return;
  }
  if (std::unique_ptr<SubscribedChannel> channel =
          ChannelStore::LoadSubscribingChannel(changed.channelName)) {
    channels_.Add(std::move(channel));
    FeedRefreshEvent().Set();
    UpdateListNotice();
  }
}

void ChannelBar::OnAppCommand(unsigned commandId, const std::string& argument) {
  HtmlPageDialog::OnAppCommand(commandId, argument);
  switch (commandId) {
    case kCmdManageChannels:
      // Posted: the manager runs modally, not inside the page's navigation.
      PostCommand(this, kCmdManageChannels);
      break;
    case kAppShowReadNews:
      ShowReadNews();
      break;
    default:
      break;
  }
}

void ChannelBar::ArmListNotice() {
  listNoticeArmed_ = true;
  UpdateListNotice();
}

void ChannelBar::UpdateListNotice() {
  if (!listNoticeArmed_ || closing_ || page_.RowCount() > 0) return;
  EmptyListReason reason = EmptyListReason::kNothingUnread;
  std::vector<std::string> failed;
  if (channels_.Size() == 0) {
    reason = EmptyListReason::kNoChannel;
  } else {
    const std::string shown = channels_.CurrentName();
    bool allFailed = true;
    for (size_t index = 0;; ++index) {
      const auto channel = channels_.At(index);
      if (!channel) break;
      if (!shown.empty() && channel->name != shown) continue;
      if (feedHealth_.AllFailed(channel->feeds))
        failed.push_back(channel->name);
      else
        allFailed = false;
    }
    if (allFailed && !failed.empty()) reason = EmptyListReason::kFeedsFailed;
  }
  page_.ShowNotice(FormatEmptyListNotice(reason, failed));
}

void ChannelBar::ShowReadNews() {
  if (closing_) return;
  readNewsLoader_.request_stop();
  if (readNewsLoader_.joinable()) readNewsLoader_.join();
  readNewsLoader_ = std::jthread([this, channel = channels_.CurrentName()](std::stop_token stop) {
    RssFeed feed;
    LoadReadItems(feed, channel, kReadItemsShown, stop);
    if (stop.stop_requested()) return;
    // Joined before the bar goes; a call queued just before that is dropped with the bar.
    QMetaObject::invokeMethod(
        this,
        [this, channel, items = std::move(feed.items)] {
          // Rows of a channel no longer on show do not belong on this page.
          if (channel != channels_.CurrentName()) return;
          for (const RssItem& item : items) page_.AppendNewsRow(item);
        },
        Qt::QueuedConnection);
  });
}

void ChannelBar::OnDocumentReady() {
  if (recommendStarted_ || closing_) return;
  recommendStarted_ = true;
  recommendWorker_ = std::make_unique<RecommendWorker>(timing_, this);
  recommendWorker_->Start();
}

void ChannelBar::ChangeFontSize(bool larger) {
  int size = Settings::ChannelFontSize();
  // A stored size outside the range moves one step towards it, or to its near end.
  if (larger)
    size = size < kLargestFont ? size + 1 : kLargestFont;
  else
    size = size > kSmallestFont ? size - 1 : kSmallestFont;
  View()->SetFontSize(size);
  Settings::SetChannelFontSize(size);
}

void ChannelBar::Search() {
  const QString text = searchEdit_->text();
  if (text.isEmpty()) return;
  ShellOpen(SearchAddress(text));
}

// ---- painting and layout ----

void ChannelBar::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  // The application's bitmap 139 and font, made once at start-up.
  const QImage& headerStrip = PanelHeader::Bitmap();
  if (!headerStrip.isNull())
    painter.drawImage(QRect(0, 0, width(), kHeaderHeight), headerStrip, QRect(0, 0, 1, 23));
  painter.setFont(PanelHeader::Font());
  painter.setPen(Qt::black);
  painter.drawText(QRect(2, 25, width() - 2, kHeaderHeight - 25), Qt::AlignLeft | Qt::AlignTop,
                   QString::fromUtf8("频道"));
}

void ChannelBar::resizeEvent(QResizeEvent* event) {
  HtmlPageDialog::resizeEvent(event);
  Layout();
}

void ChannelBar::Layout() {
  ApplyRoundedRegion();
  const int cx = width();
  const int cy = height();
  // The page fills the bar below the header, down to the bar's bottom edge.
  if (View()) View()->setGeometry(0, kHeaderHeight, cx, std::max(0, cy - kHeaderHeight));
  if (selector_) selector_->setGeometry(50, 22, 80, 18);
  if (menuButton_) {
    menuButton_->setGeometry(cx - 17, 27, 12, 13);
    menuButton_->update();
  }
}

void ChannelBar::ApplyRoundedRegion() {
  QPainterPath outline;
  outline.addRoundedRect(QRectF(0, 0, width(), height()), 2.5, 2.5);
  setMask(QRegion(outline.toFillPolygon().toPolygon()));
}

}  // namespace lumarine
