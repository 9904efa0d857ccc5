#include "dialogs/channel_manager_dialog.h"

#include <QDir>
#include <QTest>
#include <utility>
#include <vector>

#include "channelbar/subscription_changed_event.h"
#include "feeds/feed_health_book.h"
#include "htmlview/html_ctrl_ex.h"
#include "platform/text_codec.h"
#include "support/page_script.h"
#include "support/temp_dir.h"
#include "support/web_view_test.h"

namespace lumarine {
namespace {

// Stands in for the channel bar: records the subscription messages it is posted.
class RecordingBar : public QObject {
 public:
  bool event(QEvent* event) override {
    if (event->type() != SubscriptionChangedEvent::kType) return QObject::event(event);
    const auto* changed = static_cast<SubscriptionChangedEvent*>(event);
    received.emplace_back(static_cast<int>(changed->change), changed->channelName);
    return true;
  }
  std::vector<std::pair<int, std::string>> received;
};

class TestManager : public ChannelManagerDialog {
 public:
  using ChannelManagerDialog::ChannelManagerDialog;
  std::vector<std::pair<std::string, bool>> edits;

 protected:
  void RunEditChannelDialog(const std::string& name, bool newChannel) override {
    edits.emplace_back(name, newChannel);
  }
};

}  // namespace

class ChannelManagerDialogTest : public WebViewTest {
  Q_OBJECT

 private slots:
  void init() {
    program_ = std::make_unique<test::ScopedProgramDirectory>();
    // channel2 is missing: it reads as the default channel name.
    program_->WriteProfile(
        "qixchannel.ini", Utf8ToGb18030("[channel]\nchannelcnt=3\nchannel1=科技\nchannel3=体育\n"));
    program_->WriteProfile("userchannel.ini",
                           Utf8ToGb18030("[userchannel]\nchannelcnt=1\nchannel1=科技\n[科技]\n"
                                         "substate=1\n"));
  }
  void cleanup() { program_.reset(); }

  void listsEveryCatalogueChannelWithItsState() {
    RecordingBar bar;
    TestManager dialog(&bar);
    QVERIFY(Open(dialog));
    QCOMPARE(dialog.windowTitle(), QString::fromUtf8("添加删除频道"));
    QCOMPARE(Cells(dialog, 0), QStringList({"频道", "状态", "操作", "新闻源定制"}));
    QCOMPARE(Cells(dialog, 1), QStringList({"科技", "已订阅", "取消订阅", "订制新闻源"}));
    QCOMPARE(Cells(dialog, 2), QStringList({"热点信息", "未订阅", "订阅", "订制新闻源"}));
    QCOMPARE(Cells(dialog, 3), QStringList({"体育", "未订阅", "订阅", "订制新闻源"}));
  }

  void columnsLineUpUnderTheHeadRow() {
    RecordingBar bar;
    TestManager dialog(&bar);
    QVERIFY(Open(dialog));
    const QVariant rows = test::RunScript(
        dialog.View()->page(),
        "Array.from(document.querySelectorAll('#c_1 > div')).map(d => Array.from(d.children)"
        ".map(s => { var r = s.getBoundingClientRect(); return Math.round(r.left) + ':' + "
        "Math.round(r.width); }).join(' '))");
    const QStringList lines = rows.toStringList();
    QCOMPARE(lines.size(), 4);
    // Channel rows share their columns; the head row's columns are as wide, shifted only by
    // the head row's own padding.
    QCOMPARE(lines[0], QString("10:150 160:100 260:100 360:100"));
    for (const QString& line : lines.mid(1))
      QCOMPARE(line, QString("5:150 155:100 255:100 355:100"));
    // The head row keeps inside the page: no sideways scrolling.
    QCOMPARE(Script(dialog, "document.scrollingElement.scrollWidth <= window.innerWidth"),
             QString("true"));
    test::Settle(1000);
    const QString shot = QDir::temp().filePath("lumarine_channel_manager.png");
    QVERIFY(dialog.grab().save(shot));
    qInfo("screenshot: %s", qPrintable(shot));
  }

  void clickingTheActionTwiceSubscribesThenUnsubscribes() {
    RecordingBar bar;
    TestManager dialog(&bar);
    QVERIFY(Open(dialog));
    const QString click =
        "document.querySelectorAll('#c_1 > div')[2].children[2].firstChild.click()";
    Script(dialog, click);
    QTRY_COMPARE_WITH_TIMEOUT(bar.received.size(), size_t{1}, 10000);
    QCOMPARE(bar.received[0], std::make_pair(0, std::string("热点信息")));
    QVERIFY(UserFile().find("[热点信息]\nsubstate=1") != std::string::npos);
    QCOMPARE(Cells(dialog, 2), QStringList({"热点信息", "已订阅", "取消订阅", "订制新闻源"}));

    Script(dialog, click);
    QTRY_COMPARE_WITH_TIMEOUT(bar.received.size(), size_t{2}, 10000);
    QCOMPARE(bar.received[1], std::make_pair(1, std::string("热点信息")));
    QVERIFY(UserFile().find("[热点信息]\nsubstate=0") != std::string::npos);
    QCOMPARE(Script(dialog, "document.querySelectorAll('#c_1 > div')[2].className"),
             QString("classunsub"));
  }

  void aSecondOpeningShowsTheRecordedStates() {
    {
      TestManager first(nullptr);  // no bar to tell: the file is still written
      QVERIFY(Open(first));
      Script(first, "document.querySelectorAll('#c_1 > div')[3].children[2].firstChild.click()");
      QTRY_VERIFY_WITH_TIMEOUT(UserFile().find("[体育]\nsubstate=1") != std::string::npos, 10000);
    }
    TestManager second(nullptr);
    QVERIFY(Open(second));
    QCOMPARE(Cells(second, 3), QStringList({"体育", "已订阅", "取消订阅", "订制新闻源"}));
  }

  void feedLinkOpensTheEditorForThatChannel() {
    TestManager dialog(nullptr);
    QVERIFY(Open(dialog));
    Script(dialog, "document.querySelectorAll('#c_1 > div')[1].children[3].firstChild.click()");
    QTRY_COMPARE_WITH_TIMEOUT(dialog.edits.size(), size_t{1}, 10000);
    QCOMPARE(dialog.edits[0], std::make_pair(std::string("科技"), false));
    dialog.OnAppCommand(1008, " ");
    QCOMPARE(dialog.edits.back(), std::make_pair(std::string(), true));
  }

  void aSubscribedChannelWhoseFeedsAllFailedIsMarked() {
    program_->WriteProfile("qixchannel.ini",
                           Utf8ToGb18030("[channel]\nchannelcnt=2\nchannel1=科技\nchannel2=体育\n"
                                         "[科技]\nfeedcnt=1\nfeed1=http://dead/1\n"
                                         "[体育]\nfeedcnt=1\nfeed1=http://dead/2\n"));
    FeedHealthBook health;
    health.Record("http://dead/1", {FeedHealth::State::kCannotConnect, 0, 0});
    health.Record("http://dead/2", {FeedHealth::State::kTimedOut, 0, 0});
    RecordingBar bar;
    TestManager dialog(&bar, nullptr, &health);
    QVERIFY(Open(dialog));
    QCOMPARE(Cells(dialog, 1).value(0), QString::fromUtf8("科技 (失效)"));
    QCOMPARE(Cells(dialog, 2).value(0), QString::fromUtf8("体育"));  // not subscribed
    QCOMPARE(Script(dialog, "document.querySelector('.deadmark').title"),
             QString::fromUtf8("新闻源全部下载失败"));
  }

  void namesThatLookLikeMarkupOrScriptArriveIntact() {
    const std::string name = "a'b\"<i>%41@x";
    program_->WriteProfile("qixchannel.ini",
                           Utf8ToGb18030("[channel]\nchannelcnt=1\nchannel1=" + name + "\n"));
    RecordingBar bar;
    TestManager dialog(&bar);
    QVERIFY(Open(dialog));
    QCOMPARE(Cells(dialog, 1).value(0), QString::fromStdString(name));
    Script(dialog, "document.querySelectorAll('#c_1 > div')[1].children[2].firstChild.click()");
    QTRY_COMPARE_WITH_TIMEOUT(bar.received.size(), size_t{1}, 10000);
    QCOMPARE(bar.received[0].second, name);
  }

 private:
  static bool Open(TestManager& dialog) {
    QSignalSpy built(&dialog, &ChannelManagerDialog::RowsBuilt);
    dialog.show();
    return built.wait(30000) && test::RunScript(dialog.View()->page(), "1").toInt() == 1;
  }
  static QString Script(TestManager& dialog, const QString& script) {
    return test::RunScript(dialog.View()->page(), script).toString();
  }
  static QStringList Cells(TestManager& dialog, int row) {
    return test::RunScript(dialog.View()->page(),
                           QString("Array.from(document.querySelectorAll('#c_1 > div')[%1]"
                                   ".children).map(s => s.innerText)")
                               .arg(row))
        .toStringList();
  }
  std::string UserFile() const { return Gb18030ToUtf8(program_->ReadProfile("userchannel.ini")); }

  std::unique_ptr<test::ScopedProgramDirectory> program_;
};

}  // namespace lumarine

QTEST_MAIN(lumarine::ChannelManagerDialogTest)

#include "channel_manager_dialog_test.moc"
