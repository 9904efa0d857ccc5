#include "dialogs/edit_channel_dialog.h"

#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMetaObject>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <algorithm>

#include "feeds/channel_store.h"
#include "feeds/feed_health_book.h"
#include "feeds/rss_feed.h"
#include "platform/message_box.h"
#include "platform/text_codec.h"

namespace lumarine {
namespace {

// Dialog units are 1.5 pixels.
QRect Units(int x, int y, int width, int height) {
  return QRect(x * 3 / 2, y * 3 / 2, width * 3 / 2, height * 3 / 2);
}

template <typename Widget>
Widget* Place(Widget* widget, const QRect& rect) {
  widget->setGeometry(rect);
  return widget;
}

}  // namespace

EditChannelDialog::EditChannelDialog(QWidget* parent, std::string channelName, bool newChannel,
                                     const FeedHealthBook* health)
    : QDialog(parent),
      channelName(std::move(channelName)),
      newChannel(newChannel),
      health_(health) {
  setWindowTitle("编辑频道");
  setFixedSize(416, 263);
  Place(new QLabel("如果您对RSS和XML比较熟悉 您可以编辑新闻源", this), Units(4, 5, 165, 8));
  Place(new QLabel("频道名称：", this), Units(4, 20, 41, 8));
  nameEdit_ =
      Place(new QLineEdit(QString::fromStdString(this->channelName), this), Units(60, 16, 155, 14));
  nameEdit_->setEnabled(newChannel);
  Place(new QLabel("输入新闻源：", this), Units(4, 40, 49, 8));
  addressEdit_ = Place(new QLineEdit(this), Units(60, 37, 155, 14));
  addButton_ = Place(new QPushButton("添加", this), Units(225, 38, 50, 14));
  addButton_->setAutoDefault(false);
  Place(new QLabel("已经添加的新闻源：", this), Units(4, 60, 73, 8));
  list_ = Place(new QTreeWidget(this), Units(4, 73, 271, 75));
  list_->setRootIsDecorated(false);
  list_->setHeaderLabels({"新闻源地址", "状态"});
  list_->header()->resizeSection(0, 500);
  list_->header()->setVisible(!newChannel);
  auto* hidden = Place(new QPushButton("确 定", this), Units(165, 153, 50, 14));
  hidden->setAutoDefault(false);
  hidden->hide();
  auto* close = Place(new QPushButton("关 闭", this), Units(225, 153, 50, 14));
  close->setDefault(true);

  connect(addButton_, &QPushButton::clicked, this, &EditChannelDialog::AddTypedAddress);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  if (!newChannel) FillList();
  // Only changes the user makes are written: filling the list must not write anything.
  list_->viewport()->installEventFilter(this);
  list_->installEventFilter(this);
  connect(list_, &QTreeWidget::itemChanged, this,
          [this](QTreeWidgetItem* item, int) { OnItemChanged(item); });
}

EditChannelDialog::~EditChannelDialog() {
  check_.request_stop();
  if (check_.joinable()) check_.join();
}

void EditChannelDialog::FillList() {
  // Each feed goes to the position of its number within its own file, so the user's feeds
  // follow the first catalogue feed.
  int catalogueNumber = 0;
  int userNumber = 0;
  for (const ChannelStore::ChannelFeed& feed : ChannelStore::ListChannelFeeds(channelName)) {
    const int number =
        feed.origin == ChannelStore::FeedOrigin::kCatalogue ? ++catalogueNumber : ++userNumber;
    auto* item = new QTreeWidgetItem(QStringList{QString::fromStdString(feed.address)});
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(0, feed.enabled ? Qt::Checked : Qt::Unchecked);
    if (const std::optional<FeedHealth> known = health_ ? health_->Of(feed.address) : std::nullopt)
      ShowHealth(item, QString::fromStdString(FeedHealthText(*known)));
    list_->insertTopLevelItem(std::min(number, list_->topLevelItemCount()), item);
  }
}

bool EditChannelDialog::eventFilter(QObject* watched, QEvent* event) {
  // A check box toggles on the release of the press that marks the user's first touch, so
  // the press itself is what counts; keys toggle check boxes too.
  if ((watched == list_->viewport() && event->type() == QEvent::MouseButtonPress) ||
      (watched == list_ && event->type() == QEvent::KeyPress))
    clicked = true;
  return QDialog::eventFilter(watched, event);
}

void EditChannelDialog::OnItemChanged(QTreeWidgetItem* item) {
  if (!clicked || newChannel) return;
  ChannelStore::SetFeedState(channelName, item->text(0).toStdString(),
                             item->checkState(0) == Qt::Checked);
}

void EditChannelDialog::AddTypedAddress() {
  if (check_.joinable() && !addButton_->isEnabled()) return;  // one check at a time
  const std::string address = addressEdit_->text().toStdString();
  if (newChannel) channelName = nameEdit_->text().toStdString();
  for (int row = 0; row < list_->topLevelItemCount(); ++row) {
    if (EqualsNoCase(list_->topLevelItem(row)->text(0).toStdString(), address)) {
      ShowMessageBox("添加的Feed已经存在!", "Quillcrawl", kMbOk);
      return;
    }
  }
  addButton_->setEnabled(false);
  if (check_.joinable()) check_.join();  // the previous check has already answered
  check_ = std::jthread([this, address](std::stop_token stop) {
    const size_t items = ParseFeed(address, false, false, stop).ItemCount();
    if (stop.stop_requested()) return;
    // The dialog joins this thread before it goes away, so it is alive here; the call is
    // queued to its own thread.
    QMetaObject::invokeMethod(
        this, [this, address, items] { OnFeedChecked(address, items); }, Qt::QueuedConnection);
  });
}

void EditChannelDialog::ShowHealth(QTreeWidgetItem* item, const QString& text) {
  item->setText(1, text);
  item->setToolTip(0, text);
  item->setToolTip(1, text);
}

void EditChannelDialog::OnFeedChecked(const std::string& address, size_t items) {
  addButton_->setEnabled(true);
  if (items == 0) {
    ShowMessageBox("添加的Feed无效!", "Lumarine", kMbOk);
    emit AddFinished(false);
    return;
  }
  {
    const QSignalBlocker quiet(list_);  // the new row is stored below, not as a state change
    auto* item = new QTreeWidgetItem(QStringList{QString::fromStdString(address)});
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(0, Qt::Checked);
    // The check was a download too: show what it gave.
    ShowHealth(item, QString::fromStdString(
                         FeedHealthText(FeedHealth::OfParse(FeedParseResult::kItems, items))));
    list_->addTopLevelItem(item);
  }
  if (!newChannel) ChannelStore::AddUserFeed(channelName, address);
  emit AddFinished(true);
}

}  // namespace lumarine
