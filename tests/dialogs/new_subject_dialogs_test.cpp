#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QLineEdit>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>

#include "dialogs/new_feed_subject_dialog.h"
#include "dialogs/new_group_dialog.h"
#include "dialogs/new_subject_dialog.h"
#include "support/loopback_server.h"
#include "support/message_box_recorder.h"

namespace lumarine {

class NewSubjectDialogsTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    server_.Server().Get("/feed", [](const httplib::Request&, httplib::Response& res) {
      res.set_content(
          "<rss><channel><title>体育新闻</title><item><title>a</title></item></channel></rss>",
          "text/xml");
    });
    server_.Server().Get("/empty", [](const httplib::Request&, httplib::Response& res) {
      res.set_content("<rss><channel><title>空</title></channel></rss>", "text/xml");
    });
    server_.Start();
  }

  void keywordAndGroupDialogsAcceptEmptyText() {
    NewSubjectDialog subject;
    subject.accept();
    QCOMPARE(subject.result(), int(QDialog::Accepted));
    QCOMPARE(subject.keyword, QString());
    NewGroupDialog group;
    group.findChild<QLineEdit*>()->setText(QString::fromUtf8("体育"));
    group.accept();
    QCOMPARE(group.groupName, QString::fromUtf8("体育"));
  }

  // A pasted control character must not reach the subject file through any dialog.
  void everyDialogDropsTextXmlCannotHold() {
    const QString pasted = QString::fromUtf8("体\x01育\x0B") + QChar(0xFFFF);
    NewSubjectDialog subject;
    subject.findChild<QLineEdit*>()->setText(pasted);
    subject.accept();
    QCOMPARE(subject.keyword, QString::fromUtf8("体育"));
    NewGroupDialog group;
    group.findChild<QLineEdit*>()->setText(pasted);
    group.accept();
    QCOMPARE(group.groupName, QString::fromUtf8("体育"));

    QGuiApplication::clipboard()->setText(Url("/feed") + QChar(0x1));
    NewFeedSubjectDialog feed;
    QSignalSpy finished(&feed, &NewFeedSubjectDialog::CheckFinished);
    feed.accept();
    QVERIFY(finished.wait(10000));
    TitleEdit(feed)->setText(pasted);
    feed.accept();
    QCOMPARE(feed.result(), int(QDialog::Accepted));
    QCOMPARE(feed.title, QString::fromUtf8("体育"));
    QCOMPARE(feed.address, Url("/feed"));
  }

  void feedDialogPrefillsACopiedAddressButNotAnImage() {
    QGuiApplication::clipboard()->setText(Url("/feed"));
    NewFeedSubjectDialog withText;
    QCOMPARE(AddressEdit(withText)->text(), Url("/feed"));
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::red);
    QGuiApplication::clipboard()->setImage(image);
    NewFeedSubjectDialog withImage;
    QCOMPARE(AddressEdit(withImage)->text(), QString());
  }

  void feedDialogChecksFirstThenClosesWithTheFeedsTitle() {
    QGuiApplication::clipboard()->setText(Url("/feed"));
    NewFeedSubjectDialog dialog;
    QSignalSpy finished(&dialog, &NewFeedSubjectDialog::CheckFinished);
    dialog.accept();
    QVERIFY(dialog.IsChecking());
    QCOMPARE(dialog.StatusText(), QString::fromUtf8("正在验证有效性..."));
    QVERIFY(finished.wait(10000));
    QCOMPARE(dialog.StatusText(), QString::fromUtf8("验证成功,请点确定"));
    QCOMPARE(dialog.result(), int(QDialog::Rejected));  // still open
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.title, QString::fromUtf8("体育新闻"));
    QCOMPARE(dialog.address, Url("/feed"));
  }

  void feedWithoutItemsFailsTheCheckAndCanBeCorrected() {
    QGuiApplication::clipboard()->setText(Url("/empty"));
    NewFeedSubjectDialog dialog;
    QSignalSpy finished(&dialog, &NewFeedSubjectDialog::CheckFinished);
    dialog.accept();
    QVERIFY(finished.wait(10000));
    QCOMPARE(dialog.StatusText(), QString::fromUtf8("读取feed失败: 没有新闻"));  // and why
    QVERIFY(!dialog.IsValidated());
    AddressEdit(dialog)->setText(Url("/feed"));
    dialog.accept();
    QVERIFY(finished.wait(10000));
    QVERIFY(dialog.IsValidated());
  }

  void clearedTitleAfterACheckIsRefused() {
    test::MessageBoxRecorder messages;
    QGuiApplication::clipboard()->setText(Url("/feed"));
    NewFeedSubjectDialog dialog;
    QSignalSpy finished(&dialog, &NewFeedSubjectDialog::CheckFinished);
    dialog.accept();
    QVERIFY(finished.wait(10000));
    TitleEdit(dialog)->clear();
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(messages.Calls().size(), size_t(1));
    QCOMPARE(messages.Calls()[0].text, std::string("请输入标题!"));
  }

  void closingDuringACheckDoesNotWaitForTheNetwork() {
    QGuiApplication::clipboard()->setText("http://10.255.255.1/never");
    auto dialog = std::make_unique<NewFeedSubjectDialog>();
    dialog->accept();
    QElapsedTimer timer;
    timer.start();
    dialog.reset();
    QVERIFY(timer.elapsed() < 2000);
  }

 private:
  QString Url(const char* path) { return QString::fromStdString(server_.Url(path)); }
  static QLineEdit* AddressEdit(QDialog& dialog) { return dialog.findChildren<QLineEdit*>()[0]; }
  static QLineEdit* TitleEdit(QDialog& dialog) { return dialog.findChildren<QLineEdit*>()[1]; }

  test::LoopbackServer server_;
};

}  // namespace lumarine

QTEST_MAIN(lumarine::NewSubjectDialogsTest)
#include "new_subject_dialogs_test.moc"
