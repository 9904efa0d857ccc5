#pragma once

#include <QDialog>
#include <string>
#include <thread>

class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace lumarine {

class FeedHealthBook;

// "编辑频道": a channel's feeds with a check box each, and a feed address to add after checking
// that it yields news. In edit mode a second column (and each row's tool tip) tells what the
// feed's last download in this run gave. Every change is written at once through ChannelStore; in
// new-channel mode nothing is written. The feed check downloads on a worker thread; the dialog
// stays responsive and its add button is disabled until the answer is back.
class EditChannelDialog : public QDialog {
  Q_OBJECT

 public:
  // `health`, when given, is where the feeds' last downloads are read; not owned, it must
  // outlive the dialog.
  EditChannelDialog(QWidget* parent, std::string channelName, bool newChannel,
                    const FeedHealthBook* health = nullptr);
  // Stops and joins a feed check still running.
  ~EditChannelDialog() override;

  // Adds the address typed into the address field (button "添加"). When it is a web page
  // that announces a feed, the feed is added and shown in the field.
  void AddTypedAddress();
  // Removes the selected feed when it is one the user added (button "删除", Delete key);
  // catalogue feeds can only be switched off.
  void RemoveSelectedFeed();

  QTreeWidget* FeedList() const { return list_; }
  QLineEdit* AddressEdit() const { return addressEdit_; }
  QPushButton* AddButton() const { return addButton_; }
  QPushButton* RemoveButton() const { return removeButton_; }
  // Whether a feed was added, removed, switched on or off since the dialog opened.
  bool FeedsChanged() const { return feedsChanged_; }
  bool Result() const { return result; }

 signals:
  // A feed check ended; `added` when the address gave news and became a row.
  void AddFinished(bool added);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FillList();
  void OnItemChanged(QTreeWidgetItem* item);
  void OnFeedChecked(const std::string& address, const std::string& typed, bool valid,
                     const QString& healthText);
  void UpdateRemoveButton();
  bool IsListed(const std::string& address) const;
  void ShowHealth(QTreeWidgetItem* item, const QString& text);

  std::string channelName;
  bool newChannel;
  const FeedHealthBook* health_;
  bool clicked = false;
  bool result = false;  // read by callers; new-channel mode stores no channel, so never set
  bool feedsChanged_ = false;

  QLineEdit* nameEdit_;
  QLineEdit* addressEdit_;
  QPushButton* addButton_;
  QPushButton* removeButton_;
  QTreeWidget* list_;
  std::jthread check_;  // the running feed check, if any
};

}  // namespace lumarine
