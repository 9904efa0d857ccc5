#pragma once

#include <QPointer>
#include <string>

#include "htmlview/html_page_dialog.h"

namespace lumarine {

class FeedHealthBook;

// "添加删除频道": every catalogue channel with its subscription state. Subscribing and
// unsubscribing are written to the user's file at once and posted to the owner (the channel
// bar) as SubscriptionChangedEvent.
class ChannelManagerDialog : public HtmlPageDialog {
  Q_OBJECT

 public:
  // `owner` receives the subscription events; it may go away before the dialog does.
  // `health`, when given, marks subscribed channels whose feeds all failed and goes on to the
  // edit channel dialog; not owned, it must outlive the dialog.
  explicit ChannelManagerDialog(QObject* owner, QWidget* parent = nullptr,
                                const FeedHealthBook* health = nullptr);

  void OnDocumentReady() override;
  void OnAppCommand(unsigned commandId, const std::string& argument) override;

  // Appends HTML at the end of the page's row container; failures are silent.
  void InsertRowHtml(const std::string& html);

 signals:
  void RowsBuilt();

 protected:
  // Runs the edit channel dialog modally; a seam for tests.
  virtual void RunEditChannelDialog(const std::string& name, bool newChannel);

 private:
  void Subscribe(const std::string& name);
  void Unsubscribe(const std::string& name);

  bool loaded = false;
  QPointer<QObject> owner;
  const FeedHealthBook* health_;
};

}  // namespace lumarine
