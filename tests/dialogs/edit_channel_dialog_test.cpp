#include "dialogs/edit_channel_dialog.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyle>
#include <QTest>
#include <QTreeWidget>

#include "feeds/feed_health_book.h"
#include "platform/text_codec.h"
#include "support/loopback_server.h"
#include "support/message_box_recorder.h"
#include "support/temp_dir.h"

namespace lumarine {
namespace {

constexpr char kTwoItemFeed[] =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?><rss version=\"2.0\"><channel><title>t</title>"
    "<item><title>one</title><link>http://x/1</link></item>"
    "<item><title>two</title><link>http://x/2</link></item></channel></rss>";

}  // namespace

class EditChannelDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    server_.Server().Get("/feed.xml", [](const httplib::Request&, httplib::Response& response) {
      response.set_content(kTwoItemFeed, "application/xml");
    });
    server_.Server().Get("/site/", [](const httplib::Request&, httplib::Response& response) {
      response.set_content(
          "<html><head><link rel=\"alternate\" type=\"application/rss+xml\" "
          "href=\"/feed.xml\"></head><body>site</body></html>",
          "text/html");
    });
    server_.Start();
  }

  void init() {
    program_ = std::make_unique<test::ScopedProgramDirectory>();
    program_->WriteProfile(
        "qixchannel.ini",
        Utf8ToGb18030("[科技]\nfeedcnt=2\nfeed1=http://c/A\nfeedstate1=0\nfeed2=http://c/B\n"
                      "feedstate2=0\n"));
    program_->WriteProfile("userchannel.ini",
                           Utf8ToGb18030("[科技]\nfeedcnt=1\nfeed1=http://u/U\nfeedstate1=1\n"));
    catalogue_ = program_->ReadProfile("qixchannel.ini");
    user_ = program_->ReadProfile("userchannel.ini");
  }
  void cleanup() { program_.reset(); }

  void listsCatalogueFeedsWithUserFeedsAfterTheFirstAndWritesNothingOnOpening() {
    EditChannelDialog dialog(nullptr, "科技", false);
    dialog.show();
    QCOMPARE(dialog.windowTitle(), QString::fromUtf8("编辑频道"));
    QCOMPARE(Rows(dialog), QStringList({"http://c/A", "http://u/U", "http://c/B"}));
    QCOMPARE(dialog.FeedList()->topLevelItem(0)->checkState(0), Qt::Checked);
    QCOMPARE(dialog.FeedList()->topLevelItem(1)->checkState(0), Qt::Unchecked);
    QCOMPARE(dialog.FeedList()->topLevelItem(2)->checkState(0), Qt::Checked);
    QCOMPARE(dialog.FeedList()->headerItem()->text(0), QString::fromUtf8("新闻源地址"));
    QVERIFY(!dialog.findChild<QLineEdit*>(QString(), Qt::FindDirectChildrenOnly)->isEnabled());
    QCOMPARE(program_->ReadProfile("qixchannel.ini"), catalogue_);
    QCOMPARE(program_->ReadProfile("userchannel.ini"), user_);
  }

  void eachFeedShowsWhatItsLastDownloadGave() {
    FeedHealthBook health;
    health.Record("http://c/A", {FeedHealth::State::kItems, 24, 0});
    health.Record("http://c/B", {FeedHealth::State::kHttpStatus, 0, 404});
    EditChannelDialog dialog(nullptr, "科技", false, &health);
    QCOMPARE(dialog.FeedList()->headerItem()->text(1), QString::fromUtf8("状态"));
    const QStringList expected = {QString::fromUtf8("正常 (24 条)"), "", "HTTP 404"};
    for (int row = 0; row < 3; ++row) {
      QCOMPARE(dialog.FeedList()->topLevelItem(row)->text(1), expected[row]);
      QCOMPARE(dialog.FeedList()->topLevelItem(row)->toolTip(0), expected[row]);
    }
  }

  void clickingACheckBoxWritesItsStateAtOnce() {
    EditChannelDialog dialog(nullptr, "科技", false);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    // The very first click already counts.
    ClickCheckBox(dialog, 2);
    QCOMPARE(dialog.FeedList()->topLevelItem(2)->checkState(0), Qt::Unchecked);
    QVERIFY(Catalogue().find("feedstate2=1") != std::string::npos);
    ClickCheckBox(dialog, 2);
    QVERIFY(Catalogue().find("feedstate2=0") != std::string::npos);
    ClickCheckBox(dialog, 1);  // the user's own feed is switched in the user's file
    QVERIFY(User().find("feedstate1=0") != std::string::npos);
  }

  void addingAnAddressAlreadyListedInOtherCaseIsRefused() {
    test::MessageBoxRecorder boxes;
    EditChannelDialog dialog(nullptr, "科技", false);
    dialog.AddressEdit()->setText("HTTP://C/a");
    dialog.AddButton()->click();
    QCOMPARE(boxes.Calls().size(), size_t{1});
    QCOMPARE(boxes.Calls()[0].text, std::string("添加的Feed已经存在!"));
    QCOMPARE(boxes.Calls()[0].caption, std::string("Lumarine"));
    QCOMPARE(Rows(dialog).size(), 3);
    QCOMPARE(program_->ReadProfile("userchannel.ini"), user_);
  }

  void anUnreachableAddressIsInvalidAndWritesNothing() {
    test::MessageBoxRecorder boxes;
    EditChannelDialog dialog(nullptr, "科技", false);
    QSignalSpy finished(&dialog, &EditChannelDialog::AddFinished);
    dialog.AddressEdit()->setText(QString::fromStdString(server_.Url("/missing.xml")));
    dialog.AddButton()->click();
    QVERIFY(!dialog.AddButton()->isEnabled());  // checking, while the dialog stays live
    QVERIFY(finished.wait(30000));
    QCOMPARE(finished.first().first().toBool(), false);
    QVERIFY(dialog.AddButton()->isEnabled());
    QCOMPARE(boxes.Calls().size(), size_t{1});
    QCOMPARE(boxes.Calls()[0].text, std::string("添加的Feed无效!\nHTTP 404"));
    QCOMPARE(boxes.Calls()[0].caption, std::string("Lumarine"));
    QCOMPARE(Rows(dialog).size(), 3);
    QCOMPARE(program_->ReadProfile("userchannel.ini"), user_);
  }

  void aFeedWithNewsIsAddedCheckedAndStored() {
    test::MessageBoxRecorder boxes;
    EditChannelDialog dialog(nullptr, "科技", false);
    QSignalSpy finished(&dialog, &EditChannelDialog::AddFinished);
    const std::string address = server_.Url("/feed.xml");
    dialog.AddressEdit()->setText(QString::fromStdString(address));
    dialog.AddButton()->click();
    QVERIFY(finished.wait(30000));
    QCOMPARE(finished.first().first().toBool(), true);
    QVERIFY(boxes.Calls().empty());
    QCOMPARE(Rows(dialog).last(), QString::fromStdString(address));
    QCOMPARE(dialog.FeedList()->topLevelItem(3)->checkState(0), Qt::Checked);
    QCOMPARE(dialog.FeedList()->topLevelItem(3)->text(1), QString::fromUtf8("正常 (2 条)"));
    QVERIFY(User().find("feedcnt=2") != std::string::npos);
    QVERIFY(User().find("feed2=" + address) != std::string::npos);
    QVERIFY(dialog.FeedsChanged());
  }

  void aSitesPageAddressAddsTheFeedItAnnounces() {
    test::MessageBoxRecorder boxes;
    EditChannelDialog dialog(nullptr, "科技", false);
    QSignalSpy finished(&dialog, &EditChannelDialog::AddFinished);
    dialog.AddressEdit()->setText(QString::fromStdString(server_.Url("/site/")));
    dialog.AddButton()->click();
    QVERIFY(finished.wait(30000));
    QCOMPARE(finished.first().first().toBool(), true);
    const QString feed = QString::fromStdString(server_.Url("/feed.xml"));
    QCOMPARE(dialog.AddressEdit()->text(), feed);
    QCOMPARE(Rows(dialog).last(), feed);
    QVERIFY(User().find("feed2=" + feed.toStdString()) != std::string::npos);
    QVERIFY(boxes.Calls().empty());
  }

  void onlyTheUsersOwnFeedsCanBeRemoved() {
    EditChannelDialog dialog(nullptr, "科技", false);
    QTreeWidget* list = dialog.FeedList();
    for (int row : {0, 1}) {  // a catalogue feed can only be switched off; the user's goes
      list->setCurrentItem(list->topLevelItem(row));
      QCOMPARE(dialog.RemoveButton()->isEnabled(), row == 1);
      QTest::keyClick(list, Qt::Key_Delete);
    }
    QCOMPARE(Rows(dialog), QStringList({"http://c/A", "http://c/B"}));
    QVERIFY(User().find("feedcnt=0") != std::string::npos);
    QVERIFY(dialog.FeedsChanged());
    QCOMPARE(program_->ReadProfile("qixchannel.ini"), catalogue_);
  }

  // Run again at 2x by ctest (edit_channel_dialog_scaled_test).
  void theStatusColumnAndEveryTextAreInView() {
    FeedHealthBook health;
    const std::string address = "http://a-rather-long-host-name.example.com/deep/path/feed.xml";
    health.Record(address, {FeedHealth::State::kItems, 24, 0});
    program_->WriteProfile("userchannel.ini", Utf8ToGb18030("[科技]\nfeedcnt=1\nfeed1=" + address));
    EditChannelDialog dialog(nullptr, "科技", false, &health);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    const QHeaderView* header = dialog.FeedList()->header();
    QVERIFY(header->sectionViewportPosition(1) + header->sectionSize(1) <=
            dialog.FeedList()->viewport()->width());
    QVERIFY(header->sectionSize(1) > dialog.FeedList()->fontMetrics().horizontalAdvance(
                                         dialog.FeedList()->topLevelItem(1)->text(1)));
    for (const QLabel* label : dialog.findChildren<QLabel*>())
      QVERIFY2(label->wordWrap() ? label->heightForWidth(label->width()) <= label->height()
                                 : label->sizeHint().width() <= label->width() &&
                                       label->sizeHint().height() <= label->height(),
               qPrintable(label->text()));
  }

  void newChannelModeAddsRowsButWritesNothing() {
    EditChannelDialog dialog(nullptr, "", true);
    QVERIFY(Rows(dialog).isEmpty());
    QSignalSpy finished(&dialog, &EditChannelDialog::AddFinished);
    dialog.AddressEdit()->setText(QString::fromStdString(server_.Url("/feed.xml")));
    dialog.AddButton()->click();
    QVERIFY(finished.wait(30000));
    QCOMPARE(Rows(dialog).size(), 1);
    QCOMPARE(dialog.FeedList()->topLevelItem(0)->checkState(0), Qt::Checked);
    QVERIFY(!dialog.Result());
    QCOMPARE(program_->ReadProfile("qixchannel.ini"), catalogue_);
    QCOMPARE(program_->ReadProfile("userchannel.ini"), user_);
  }

  void closingDuringACheckStopsIt() {
    // A server that never answers: the dialog must still go away promptly.
    test::LoopbackServer slow;
    slow.Server().Get("/slow", [](const httplib::Request&, httplib::Response& response) {
      response.set_chunked_content_provider("application/xml", [](size_t, httplib::DataSink& sink) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        return sink.is_writable();
      });
    });
    slow.Start();
    auto dialog = std::make_unique<EditChannelDialog>(nullptr, "科技", false);
    dialog->AddressEdit()->setText(QString::fromStdString(slow.Url("/slow")));
    dialog->AddButton()->click();
    QTest::qWait(100);
    dialog.reset();  // joins the check; nothing arrives afterwards
    QCOMPARE(program_->ReadProfile("userchannel.ini"), user_);
  }

 private:
  static QStringList Rows(EditChannelDialog& dialog) {
    QStringList rows;
    for (int i = 0; i < dialog.FeedList()->topLevelItemCount(); ++i)
      rows << dialog.FeedList()->topLevelItem(i)->text(0);
    return rows;
  }
  static void ClickCheckBox(EditChannelDialog& dialog, int row) {
    QTreeWidget* list = dialog.FeedList();
    const QRect rect = list->visualItemRect(list->topLevelItem(row));
    const int indicator = list->style()->pixelMetric(QStyle::PM_IndicatorWidth);
    const QPoint box(rect.left() + 4 + indicator / 2, rect.center().y());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, box);
  }
  std::string Catalogue() const { return Gb18030ToUtf8(program_->ReadProfile("qixchannel.ini")); }
  std::string User() const { return Gb18030ToUtf8(program_->ReadProfile("userchannel.ini")); }

  test::LoopbackServer server_;
  std::unique_ptr<test::ScopedProgramDirectory> program_;
  std::string catalogue_;
  std::string user_;
};

}  // namespace lumarine

QTEST_MAIN(lumarine::EditChannelDialogTest)
#include "edit_channel_dialog_test.moc"
