#include "dialogs/new_feed_subject_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "feeds/feed_finder.h"
#include "platform/html_sanitizer.h"
#include "platform/message_box.h"
#include "platform/xml_safe_text.h"

namespace lumarine {

QString ReadClipboardText() {
  const QClipboard* clipboard = QGuiApplication::clipboard();
  return clipboard ? clipboard->text() : QString();
}

NewFeedSubjectDialog::NewFeedSubjectDialog(QWidget* parent)
    : QDialog(parent),
      addressEdit_(new QLineEdit(this)),
      titleEdit_(new QLineEdit(this)),
      status_(new QLabel(QString::fromUtf8("正在验证有效性..."), this)),
      verifyCheck_(new QCheckBox(QString::fromUtf8("验证有效性"), this)),
      okButton_(nullptr) {
  setWindowTitle(QString::fromUtf8("新建RSS专题"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QString::fromUtf8("如果您有现成的RSS新闻源请输入地址："), this));
  layout->addWidget(addressEdit_);
  layout->addWidget(new QLabel(QString::fromUtf8("标题："), this));
  layout->addWidget(titleEdit_);
  layout->addWidget(status_);
  layout->addWidget(verifyCheck_);
  titleEdit_->setEnabled(false);
  status_->setVisible(false);
  verifyCheck_->setVisible(false);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  okButton_ = buttons->button(QDialogButtonBox::Ok);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  // A copied address is offered at once.
  addressEdit_->setText(ReadClipboardText());
  addressEdit_->setFocus();
}

NewFeedSubjectDialog::~NewFeedSubjectDialog() {
  // Abort a check still running; its result would have nowhere to go.
  checker_.request_stop();
  if (checker_.joinable()) checker_.join();
}

QString NewFeedSubjectDialog::StatusText() const { return status_->text(); }

void NewFeedSubjectDialog::accept() {
  if (checking_) return;
  address = QString::fromStdString(XmlSafeText(addressEdit_->text().toStdString()));
  title = QString::fromStdString(XmlSafeText(titleEdit_->text().toStdString()));
  if (!validated_) {
    StartCheck();
    return;
  }
  if (title.isEmpty()) {
    ShowMessageBox("请输入标题!");
    return;
  }
  QDialog::accept();
}

void NewFeedSubjectDialog::StartCheck() {
  status_->setVisible(true);
  status_->setText(QString::fromUtf8("正在验证有效性..."));
  validated_ = true;
  checking_ = true;
  okButton_->setEnabled(false);
  if (checker_.joinable()) checker_.join();
  const std::string target = address.toStdString();
  checker_ = std::jthread([this, target](std::stop_token stop) {
    const FeedFinder::Result found = FeedFinder::Check(target, true, stop);
    if (stop.stop_requested()) return;
    const bool valid = found.feed.ItemCount() > 0;
    // The channel title is HTML; the subject's title is plain text.
    const QString feedTitle = QString::fromStdString(TitlePlainText(found.feed.title));
    const QString taken = QString::fromStdString(found.address);
    const QString health = QString::fromStdString(FeedHealthText(found.health));
    // The dialog outlives this thread (its destructor joins); a result queued just before it
    // closes is dropped with it.
    QMetaObject::invokeMethod(
        this,
        [this, valid, feedTitle, taken, health] { FinishCheck(valid, feedTitle, taken, health); },
        Qt::QueuedConnection);
  });
}

void NewFeedSubjectDialog::FinishCheck(bool valid, const QString& feedTitle,
                                       const QString& feedAddress, const QString& health) {
  checking_ = false;
  okButton_->setEnabled(true);
  if (!valid) {
    validated_ = false;
    status_->setText(QString::fromUtf8("读取feed失败: ") + health);
  } else {
    // A page's feed is what the subject follows.
    address = feedAddress;
    addressEdit_->setText(feedAddress);
    titleEdit_->setText(feedTitle);
    titleEdit_->setEnabled(true);
    status_->setText(QString::fromUtf8("验证成功,请点确定"));
  }
  emit CheckFinished(valid);
}

}  // namespace lumarine
