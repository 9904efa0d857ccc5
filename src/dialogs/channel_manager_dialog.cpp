#include "dialogs/channel_manager_dialog.h"

#include <QCoreApplication>

#include "channelbar/subscription_changed_event.h"
#include "dialogs/channel_manager_rows.h"
#include "dialogs/edit_channel_dialog.h"
#include "feeds/channel_store.h"
#include "feeds/feed_health_book.h"
#include "htmlview/app_commands.h"
#include "htmlview/html_ctrl_ex.h"
#include "platform/html_text.h"

namespace lumarine {
namespace {

// Dialog units are 1.5 pixels: a 350 x 445 frame holding a 350 x 440 page.
constexpr QRect kPagePlaceholder(0, 0, 525, 660);
constexpr int kPlaceholderId = 1000;

}  // namespace

ChannelManagerDialog::ChannelManagerDialog(QObject* owner, QWidget* parent,
                                           const FeedHealthBook* health)
    : HtmlPageDialog(parent, kHtmlChannelManager, kPlaceholderId, kPagePlaceholder, 1),
      owner(owner),
      health_(health) {
  setWindowTitle("添加删除频道");
  resize(525, 668);
}

void ChannelManagerDialog::OnDocumentReady() {
  if (loaded) return;
  loaded = true;
  InsertRowHtml(ManagerHeadRow());
  int n = 0;
  for (const ChannelStore::CatalogueChannel& channel : ChannelStore::ListCatalogueChannels()) {
    bool allFailed = false;
    if (health_ && channel.subscribed) {
      std::vector<std::string> addresses;
      for (const ChannelStore::ChannelFeed& feed : ChannelStore::ListChannelFeeds(channel.name))
        addresses.push_back(feed.address);
      allFailed = health_->AllFailed(addresses);
    }
    InsertRowHtml(FormatManagerChannelRow(++n, channel.name, channel.subscribed, allFailed));
  }
  emit RowsBuilt();
}

void ChannelManagerDialog::OnAppCommand(unsigned commandId, const std::string& argument) {
  HtmlPageDialog::OnAppCommand(commandId, argument);
  switch (commandId) {
    case kAppEditChannel:
      RunEditChannelDialog(argument, false);
      break;
    case kAppSubscribe:
      Subscribe(argument);
      break;
    case kAppUnsubscribe:
      Unsubscribe(argument);
      break;
    case kAppNewChannel:
      RunEditChannelDialog("", true);
      break;
    default:
      break;
  }
}

void ChannelManagerDialog::InsertRowHtml(const std::string& html) {
  View()->RunWhenLoaded(QString::fromStdString(
      "try { " + InsertHtmlScript("c_1", "beforeend", html) + " } catch (e) {}"));
}

void ChannelManagerDialog::RunEditChannelDialog(const std::string& name, bool newChannel) {
  EditChannelDialog dialog(this, name, newChannel, health_);
  dialog.exec();
  // The bar downloads a changed feed list now, not at the next start.
  if (dialog.FeedsChanged() && owner)
    QCoreApplication::postEvent(
        owner, new SubscriptionChangedEvent(SubscriptionChangedEvent::Change::kFeedsEdited, name));
}

void ChannelManagerDialog::Subscribe(const std::string& name) {
  ChannelStore::SubscribeChannel(name);
  if (owner)
    QCoreApplication::postEvent(
        owner, new SubscriptionChangedEvent(SubscriptionChangedEvent::Change::kSubscribed, name));
}

void ChannelManagerDialog::Unsubscribe(const std::string& name) {
  ChannelStore::UnsubscribeChannel(name);
  if (owner)
    QCoreApplication::postEvent(
        owner, new SubscriptionChangedEvent(SubscriptionChangedEvent::Change::kUnsubscribed, name));
}

}  // namespace lumarine
