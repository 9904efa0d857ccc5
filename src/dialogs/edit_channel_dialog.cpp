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

#include <QKeyEvent>

#include "feeds/channel_store.h"
#include "feeds/feed_finder.h"
#include "feeds/feed_health_book.h"
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

// Which file a listed feed comes from, kept on its row.
constexpr int kOriginRole = Qt::UserRole;

QTreeWidgetItem* NewFeedRow(const std::string& address, bool enabled,
                            ChannelStore::FeedOrigin origin) {
  auto* item = new QTreeWidgetItem(QStringList{QString::fromStdString(address)});
  item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
  item->setCheckState(0, enabled ? Qt::Checked : Qt::Unchecked);
  item->setData(0, kOriginRole, static_cast<int>(origin));
  return item;
}

bool IsUserFeed(const QTreeWidgetItem* item) {
  return item &&
         item->data(0, kOriginRole).toInt() == static_cast<int>(ChannelStore::FeedOrigin::kUser);
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
  // As wide as the list: the text must not be cut at any font size or scale.
  auto* intro =
      Place(new QLabel("如果您对RSS和XML比较熟悉 您可以编辑新闻源", this), Units(4, 3, 271, 12));
  intro->setWordWrap(true);
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
  // The status stays in view; a long address is shortened in the middle (its tool tip and
  // the address field hold it whole).
  list_->header()->setStretchLastSection(false);
  list_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
  list_->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
  list_->setTextElideMode(Qt::ElideMiddle);
  list_->header()->setVisible(!newChannel);
  removeButton_ = Place(new QPushButton("删除", this), Units(4, 153, 50, 14));
  removeButton_->setAutoDefault(false);
  removeButton_->setEnabled(false);
  auto* hidden = Place(new QPushButton("确 定", this), Units(165, 153, 50, 14));
  hidden->setAutoDefault(false);
  hidden->hide();
  auto* close = Place(new QPushButton("关 闭", this), Units(225, 153, 50, 14));
  close->setDefault(true);

  // The dialog-unit boxes were made for a smaller font: each label grows to its text about
  // its own centre line, so none is cut at any font size or scale.
  for (QLabel* label : findChildren<QLabel*>()) {
    const QRect box = label->geometry();
    const int width =
        label->wordWrap() ? box.width() : std::max(box.width(), label->sizeHint().width());
    const int height = std::max(box.height(), label->wordWrap() ? label->heightForWidth(width)
                                                                : label->sizeHint().height());
    label->setGeometry(box.x(), std::max(0, box.center().y() - height / 2), width, height);
  }

  connect(addButton_, &QPushButton::clicked, this, &EditChannelDialog::AddTypedAddress);
  connect(removeButton_, &QPushButton::clicked, this, &EditChannelDialog::RemoveSelectedFeed);
  connect(list_, &QTreeWidget::currentItemChanged, this, [this] { UpdateRemoveButton(); });
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
    QTreeWidgetItem* item = NewFeedRow(feed.address, feed.enabled, feed.origin);
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
  if (watched == list_ && event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
    RemoveSelectedFeed();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void EditChannelDialog::OnItemChanged(QTreeWidgetItem* item) {
  if (!clicked || newChannel) return;
  ChannelStore::SetFeedState(channelName, item->text(0).toStdString(),
                             item->checkState(0) == Qt::Checked);
  feedsChanged_ = true;
}

void EditChannelDialog::UpdateRemoveButton() {
  removeButton_->setEnabled(IsUserFeed(list_->currentItem()));
}

void EditChannelDialog::RemoveSelectedFeed() {
  QTreeWidgetItem* item = list_->currentItem();
  if (!IsUserFeed(item)) return;
  if (!newChannel) {
    ChannelStore::RemoveUserFeed(channelName, item->text(0).toStdString());
    feedsChanged_ = true;
  }
  delete item;
  UpdateRemoveButton();
}

void EditChannelDialog::AddTypedAddress() {
  if (check_.joinable() && !addButton_->isEnabled()) return;  // one check at a time
  const std::string address = addressEdit_->text().trimmed().toStdString();
  if (newChannel) channelName = nameEdit_->text().toStdString();
  if (IsListed(address)) {
    ShowMessageBox("添加的Feed已经存在!", "Lumarine", kMbOk);
    return;
  }
  addButton_->setEnabled(false);
  if (check_.joinable()) check_.join();  // the previous check has already answered
  check_ = std::jthread([this, address](std::stop_token stop) {
    const FeedFinder::Result found = FeedFinder::Check(address, false, stop);
    if (stop.stop_requested()) return;
    const bool valid = found.feed.IsValid();
    const QString health = QString::fromStdString(FeedHealthText(found.health));
    // The dialog joins this thread before it goes away, so it is alive here; the call is
    // queued to its own thread.
    QMetaObject::invokeMethod(
        this,
        [this, taken = found.address, address, valid, health] {
          OnFeedChecked(taken, address, valid, health);
        },
        Qt::QueuedConnection);
  });
}

bool EditChannelDialog::IsListed(const std::string& address) const {
  for (int row = 0; row < list_->topLevelItemCount(); ++row)
    if (EqualsNoCase(list_->topLevelItem(row)->text(0).toStdString(), address)) return true;
  return false;
}

void EditChannelDialog::ShowHealth(QTreeWidgetItem* item, const QString& text) {
  item->setText(1, text);
  item->setToolTip(0, text);
  item->setToolTip(1, text);
}

void EditChannelDialog::OnFeedChecked(const std::string& address, const std::string& typed,
                                      bool valid, const QString& healthText) {
  addButton_->setEnabled(true);
  if (!valid) {
    ShowMessageBox("添加的Feed无效!\n" + healthText.toStdString(), "Lumarine", kMbOk);
    emit AddFinished(false);
    return;
  }
  // The page's feed is what is added: the user sees which address that is.
  if (address != typed) addressEdit_->setText(QString::fromStdString(address));
  if (IsListed(address)) {  // a page whose feed is listed already
    ShowMessageBox("添加的Feed已经存在!", "Lumarine", kMbOk);
    emit AddFinished(false);
    return;
  }
  {
    const QSignalBlocker quiet(list_);  // the new row is stored below, not as a state change
    QTreeWidgetItem* item = NewFeedRow(address, true, ChannelStore::FeedOrigin::kUser);
    // The check was a download too: show what it gave.
    ShowHealth(item, healthText);
    list_->addTopLevelItem(item);
  }
  if (!newChannel) {
    ChannelStore::AddUserFeed(channelName, address);
    feedsChanged_ = true;
  }
  emit AddFinished(true);
}

}  // namespace lumarine
