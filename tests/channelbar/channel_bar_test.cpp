// The channel bar with its real workers, a real news.mdb, real profile files and a loopback
// feed server.
#include "channelbar/channel_bar.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMenu>
#include <QSet>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <algorithm>

#include "app/app_bar_mngr.h"
#include "app/main_frame.h"
#include "base/command_ids.h"
#include "base/label_button.h"
#include "base/message_ids.h"
#include "base/user_message_event.h"
#include "channelbar/subscription_changed_event.h"
#include "dialogs/channel_manager_dialog.h"
#include "feeds/channel_store.h"
#include "feeds/refresh_events.h"
#include "feeds/rss_feed.h"
#include "platform/text_codec.h"
#include "store/news_database_file.h"
#include "store/news_store.h"
#include "support/fast_timing.h"
#include "support/loopback_server.h"
#include "support/message_box_recorder.h"
#include "support/page_script.h"
#include "support/shell_open_recorder.h"
#include "support/temp_dir.h"
#include "support/web_view_test.h"

namespace lumarine {
namespace {

using namespace std::chrono_literals;

std::string FeedXml(const std::string& prefix, int items) {
  std::string xml = "<rss version=\"2.0\"><channel><title>" + prefix + "</title>";
  for (int i = 0; i < items; ++i)
    xml += "<item><title>" + prefix + std::to_string(i) + "</title><link>http://e.example/" +
           prefix + "/" + std::to_string(i) + "</link></item>";
  return xml + "</channel></rss>";
}

// Picks popup entries instead of a user, and remembers what each popup offered.
class TestBar : public ChannelBar {
 public:
  using ChannelBar::ChannelBar;
  int choice = 0;
  std::vector<std::pair<QString, int>> offered;  // text, id; separators as ("", 0)
  bool fakeManager = false;                      // count manager runs instead of showing it
  int managerRuns = 0;

 protected:
  void RunChannelManager() override {
    if (!fakeManager) return ChannelBar::RunChannelManager();
    ++managerRuns;
  }
  int RunPopupMenu(QMenu& menu, const QPoint&) override {
    offered.clear();
    for (const QAction* action : menu.actions())
      offered.emplace_back(action->text(), action->data().toInt());
    return choice;
  }
};

// The main frame as the bar sees it: records the messages posted to it.
class FrameStandIn : public QWidget {
 public:
  bool event(QEvent* event) override {
    if (event->type() >= QEvent::User) posted.push_back(static_cast<int>(event->type()));
    return QWidget::event(event);
  }
  std::vector<int> posted;
};

}  // namespace

class ChannelBarTest : public WebViewTest {
  Q_OBJECT

 private slots:
  void init() {
    ListRefreshEvent().Reset();
    SetShownChannelName("");
    program_ = std::make_unique<test::ScopedProgramDirectory>();
    std::string error;
    QCOMPARE(CreateNewsDatabase(program_->Path() + "/news.mdb",
                                test::ReadFileBytes(LUMARINE_NEWS_SCHEMA), error),
             CreateDatabaseResult::kCreated);
    server_ = std::make_unique<test::LoopbackServer>();
    server_->Server().Get(R"(/feed/(\w+))",
                          [](const httplib::Request& req, httplib::Response& res) {
                            res.set_content(FeedXml(req.matches[1], 3), "text/xml");
                          });
    server_->Server().Get(
        "/dead", [](const httplib::Request&, httplib::Response& res) { res.status = 404; });
    server_->Server().Get(
        R"(/channel/recommend(\d)\.asp)", [](const httplib::Request& req, httplib::Response& res) {
          res.set_content(FeedXml("rec" + std::string(req.matches[1]), 1), "text/xml");
        });
    server_->Start();
    WriteProfile("qixchannel.ini",
                 "[channel]\nchannelcnt=3\nchannel1=科技\nchannel2=体育\nchannel3=财经\n"
                 "[科技]\nfeedcnt=1\nfeed1=" +
                     server_->Url("/feed/tech") +
                     "\n[体育]\nfeedcnt=1\nfeed1=" + server_->Url("/feed/sport") +
                     "\n[财经]\nfeedcnt=1\nfeedstate1=1\nfeed1=" + server_->Url("/feed/money") +
                     "\n[坏]\nfeedcnt=1\nfeed1=" + server_->Url("/dead") + "\n");
    WriteProfile("userchannel.ini",
                 "[userchannel]\nchannelcnt=2\nchannel1=科技\nchannel2=体育\n"
                 "[科技]\nsubstate=1\n[体育]\nsubstate=1\n");
    frame_ = std::make_unique<FrameStandIn>();
    frame_->resize(200, 600);
  }

  void cleanup() {
    bar_ = nullptr;
    frame_.reset();
    server_.reset();
    program_.reset();
  }

  void firstPassBringsEveryChannelAndTheRecommendations() {
    WriteProfile("sysopt.ini", "[setting]\nhomeserver=" + server_->Url("") + "\n");
    StartBar();
    WaitForDownloads(
        {"/feed/tech", "/feed/sport", "/channel/recommend3.asp", "/channel/recommend1.asp"});
    QVERIFY(bar_->RecommendStarted());
    ListRefreshEvent().Set();  // as the frame does when it shows the bar
    const QSet<QString> expected{"tech0",  "tech1",  "tech2", "sport0",
                                 "sport1", "sport2", "rec30", "rec10"};
    QTRY_COMPARE_WITH_TIMEOUT(RowSet(), expected, 10000);
    QTRY_COMPARE(Script("document.getElementById('loading').style.display"), QString("none"));
    QVERIFY(Script("Array.from(document.querySelectorAll('.classtag')).map(t => t.textContent)"
                   ".join()")
                .contains(QString::fromUtf8("[推荐]")));

    // A channel tag never breaks inside its brackets.
    QCOMPARE(Script("getComputedStyle(document.querySelector('.classtag')).whiteSpace"),
             QString("nowrap"));

    // Refreshing downloads every channel now; handed rows were marked read, so it brings
    // nothing new.
    const int shown = RowTexts().size();
    PostCommand(bar_, kCmdRefreshChannel);
    QTRY_VERIFY_WITH_TIMEOUT(Count("/feed/tech") == 2 && Count("/feed/sport") == 2, 10000);
    test::Settle(500);
    QCOMPARE(RowTexts().size(), shown);
  }

  void refreshAndEditedFeedsDownloadAtOnce() {
    StartBar();
    WaitForDownloads({"/feed/tech", "/feed/sport"});
    ChooseChannel(4002);  // 体育: refresh fetches the channel on show only
    PostCommand(bar_, kCmdRefreshChannel);
    QTRY_COMPARE_WITH_TIMEOUT(Count("/feed/sport"), 2, 10000);
    // A feed the edit channel dialog added is fetched now; so is a subscription's user feed.
    ChannelStore::AddUserFeed("科技", server_->Url("/feed/added"));
    Post(Change::kFeedsEdited, "科技");
    QTRY_COMPARE_WITH_TIMEOUT(Count("/feed/added"), 1, 10000);
    Post(Change::kUnsubscribed, "科技");
    Post(Change::kSubscribed, "科技");
    QTRY_COMPARE_WITH_TIMEOUT(Count("/feed/added"), 2, 10000);
  }

  void anEmptyListSaysWhyAndItsLinksWork() {
    WriteProfile("userchannel.ini", "");
    StartBar();
    bar_->fakeManager = true;
    QTRY_VERIFY_WITH_TIMEOUT(Notice().contains(QString::fromUtf8("还没有订阅频道")), 10000);
    QCOMPARE(Script("document.getElementById('loading').style.display"), QString("none"));
    Script("document.querySelector('#lm_notice a').click()");
    QTRY_COMPARE(bar_->managerRuns, 1);
    Post(Change::kSubscribed, "坏");  // its only feed answers 404
    QTRY_VERIFY_WITH_TIMEOUT(Notice().contains(QString::fromUtf8("[坏]频道的新闻源都无法下载")),
                             10000);
    // A row that arrives replaces the text; the read-again link stays under the list.
    RssItem arrived;
    arrived.title = "arrived";
    arrived.link = "http://e.example/arrived";
    bar_->Page().InsertNewsRow(arrived);
    QTRY_COMPARE(Notice(), QString());
    QCOMPARE(Script("document.getElementById('lm_readagain').style.display"), QString(""));
  }

  void readNewsCanBeShownAgain() {
    StartBar();
    WaitForDownloads({"/feed/tech", "/feed/sport"});
    ListRefreshEvent().Set();
    QTRY_COMPARE_WITH_TIMEOUT(RowTexts().size(), 6, 10000);
    QTRY_VERIFY_WITH_TIMEOUT(!HasUnread(), 10000);
    ChooseChannel(4001);  // 科技, all read
    QTRY_VERIFY_WITH_TIMEOUT(Notice().contains(QString::fromUtf8("暂无新消息")), 10000);
    for (int click = 0; click < 2; ++click) {  // the second click adds no row twice
      Script("document.querySelector('#lm_readagain a').click()");
      QTRY_COMPARE_WITH_TIMEOUT(RowTexts(), QStringList({"tech2", "tech1", "tech0"}), 10000);
    }
    QCOMPARE(Notice(), QString());
  }

  void channelMenuNumbersChannelsAndChoosingOneShowsOnlyItsRows() {
    StartBar();
    ShowFirstPassThenStoreMore();
    bar_->choice = 4002;
    PostUserMessage(bar_, kMsgLabelButton, 0, LabelButton::kTextWithArrow);
    QTRY_COMPARE(bar_->ChannelSelector()->Text(), QString::fromUtf8("体育"));
    const std::vector<std::pair<QString, int>> menu{
        {"科技", 4001}, {"体育", 4002}, {"", 0}, {"全部频道", 4003}};
    QCOMPARE(bar_->offered, menu);
    QTRY_COMPARE_WITH_TIMEOUT(RowTexts(), QStringList({"sportB2", "sportB1", "sportB0"}), 10000);

    // All channels: only what was not shown yet.
    bar_->choice = 4003;
    PostUserMessage(bar_, kMsgLabelButton, 0, LabelButton::kTextWithArrow);
    QTRY_COMPARE(bar_->ChannelSelector()->Text(), QString::fromUtf8("全部频道"));
    QTRY_COMPARE_WITH_TIMEOUT(RowTexts(), QStringList({"techB2", "techB1", "techB0"}), 10000);

    // Closing the menu without a choice changes nothing.
    bar_->choice = 0;
    PostUserMessage(bar_, kMsgLabelButton, 0, LabelButton::kTextWithArrow);
    test::Settle(300);
    QCOMPARE(RowTexts().size(), 3);
  }

  void fontSizeStaysWithinTenToFifteen_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("written");
    QTest::newRow("missing, smaller") << "" << kCmdFontSmaller << 12;
    QTest::newRow("10, smaller") << "10" << kCmdFontSmaller << 10;
    QTest::newRow("15, larger") << "15" << kCmdFontLarger << 15;
    QTest::newRow("14, larger") << "14" << kCmdFontLarger << 15;
    QTest::newRow("20, smaller steps") << "20" << kCmdFontSmaller << 19;
    QTest::newRow("20, larger jumps") << "20" << kCmdFontLarger << 15;
    QTest::newRow("3, smaller jumps") << "3" << kCmdFontSmaller << 10;
  }
  void fontSizeStaysWithinTenToFifteen() {
    QFETCH(QString, stored);
    QFETCH(int, command);
    QFETCH(int, written);
    if (!stored.isEmpty())
      WriteProfile("sysopt.ini", "[channel]\nfontsize=" + stored.toStdString());
    StartBar();
    QCOMPARE(bar_->View()->FontSize(), stored.isEmpty() ? 13 : stored.toInt());
    PostCommand(bar_, command);
    QTRY_COMPARE(bar_->View()->FontSize(), written);
    QVERIFY(program_->ReadProfile("sysopt.ini").find("fontsize=" + std::to_string(written)) !=
            std::string::npos);
    QTRY_COMPARE(Script("document.body.style.fontSize"), QString("%1px").arg(written));
  }

  void searchOpensTheEncodedAddressAndNothingWhenEmpty() {
    test::ShellOpenRecorder opened;
    StartBar();
    auto* button = bar_->findChild<LabelButton*>(QString::number(ChannelBar::kSearchButton));
    QVERIFY(button);
    QCOMPARE(button->Text(), QString::fromUtf8("搜索"));
    QTest::mouseClick(button, Qt::LeftButton);
    test::Settle(100);
    QVERIFY(opened.Opened().empty());

    bar_->SearchEdit()->setText(QString::fromUtf8("C++ & 新闻"));
    QTest::mouseClick(button, Qt::LeftButton);
    QTRY_COMPARE(opened.Opened().size(), size_t{1});
    QCOMPARE(opened.Opened()[0],
             std::string("https://www.baidu.com/baidu?wd=C%2B%2B%20%26%20%E6%96%B0%E9%97%BB"
                         "&tn=monline_dg"));
    // Enter in the box searches too.
    QTest::keyClick(bar_->SearchEdit(), Qt::Key_Return);
    QTRY_COMPARE(opened.Opened().size(), size_t{2});
  }

  void subscriptionsChangeTheChannelList() {
    WriteProfile("userchannel.ini",
                 "[userchannel]\nchannelcnt=3\nchannel1=科技\nchannel2=World\nchannel3=科技\n"
                 "[科技]\nsubstate=1\n[World]\nsubstate=1\n");
    StartBar();
    Post(Change::kUnsubscribed, "world");  // names compare case-insensitively
    Post(Change::kUnsubscribed, "科技");   // listed twice: only the first goes
    Post(Change::kSubscribed, "空");       // no feeds in the catalogue: ignored
    Post(Change::kSubscribed,
         "财经");  // all catalogue feeds, disabled ones included, fetched at once
    QTRY_COMPARE(bar_->Channels().Names(), std::vector<std::string>({"科技", "财经"}));
    WaitForDownloads({"/feed/money"});
  }

  void unsubscribingTheChannelOnShowFallsBackToAllChannels() {
    StartBar();
    ShowFirstPassThenStoreMore();
    bar_->choice = 4001;
    PostUserMessage(bar_, kMsgLabelButton, 0, LabelButton::kTextWithArrow);
    QTRY_COMPARE_WITH_TIMEOUT(RowTexts(), QStringList({"techB2", "techB1", "techB0"}), 10000);

    Post(Change::kUnsubscribed, "科技");
    QTRY_COMPARE(bar_->ChannelSelector()->Text(), QString::fromUtf8("全部频道"));
    QCOMPARE(bar_->Channels().CurrentName(), std::string());
    QTRY_COMPARE_WITH_TIMEOUT(RowTexts(), QStringList({"sportB2", "sportB1", "sportB0"}), 10000);

    // Unsubscribing a channel not on show leaves the page alone.
    Post(Change::kUnsubscribed, "体育");
    test::Settle(300);
    QCOMPARE(RowTexts().size(), 3);
  }

  void commandsScrollCloseAndOpenTheManager() {
    StartBar();
    QVERIFY(test::WaitForDocument(bar_->View()));
    for (int i = 0; i < 60; ++i) {
      RssItem item;
      item.title = "row" + std::to_string(i);
      item.link = "http://e.example/" + std::to_string(i);
      bar_->Page().InsertNewsRow(item);
    }
    PostCommand(bar_, kCmdScrollDown);
    QTRY_COMPARE(Script("String(document.body.scrollTop)"), QString("30"));
    PostCommand(bar_, kCmdScrollUp);
    QTRY_COMPARE(Script("String(document.body.scrollTop)"), QString("0"));

    // The CHANNEL menu, then its close entry reaching the frame.
    bar_->choice = kCmdCloseChannelBar;
    PostUserMessage(bar_, kMsgLabelButton, 0, LabelButton::kMenu);
    QTRY_VERIFY(std::count(frame_->posted.begin(), frame_->posted.end(), kMsgToggleChannelBar) ==
                1);
    const std::vector<std::pair<QString, int>> menu{
        {"刷新当前频道", kCmdRefreshChannel},    {"向上滚动(或↓键)", kCmdScrollDown},
        {"向下滚动(或↑键)", kCmdScrollUp},       {"字 体", 0},
        {"添加删除频道...", kCmdManageChannels}, {"导出频道到OPML...", kCmdExportChannelsOpml},
        {"关闭频道栏", kCmdCloseChannelBar}};
    QCOMPARE(bar_->offered, menu);
    const std::unique_ptr<QMenu> commands = bar_->BuildCommandMenu();
    QMenu* font = commands->actions()[3]->menu();
    QVERIFY(font);
    QCOMPARE(font->actions()[0]->text(), QString::fromUtf8("增大字体"));
    QCOMPARE(font->actions()[0]->data().toInt(), kCmdFontLarger);
    QCOMPARE(font->actions()[1]->text(), QString::fromUtf8("缩小字体"));
    QCOMPARE(font->actions()[1]->data().toInt(), kCmdFontSmaller);

    bool managerShown = false;
    QTimer::singleShot(300, [&managerShown] {
      auto* manager = qobject_cast<ChannelManagerDialog*>(QApplication::activeModalWidget());
      managerShown = manager != nullptr;
      if (manager) manager->done(0);
    });
    bar_->OnCommand(kCmdManageChannels);
    QVERIFY(managerShown);
  }

  void layoutFollowsTheBarSize() {
    StartBar();
    bar_->resize(190, 500);
    QTRY_COMPARE(bar_->View()->geometry(), QRect(0, 43, 190, 457));
    QCOMPARE(bar_->ChannelSelector()->geometry(), QRect(50, 22, 80, 18));
    QCOMPARE(Child(ChannelBar::kMenuButton)->geometry(), QRect(173, 27, 12, 13));
    QCOMPARE(bar_->SearchEdit()->geometry(), QRect(0, 0, 146, 21));
    QCOMPARE(Child(ChannelBar::kSearchButton)->geometry(), QRect(146, 3, 48, 17));
    // Rounded corners; the header strip stretched over 43 pixels, white at its bottom.
    QVERIFY(!bar_->mask().contains(QPoint(0, 0)));
    QVERIFY(bar_->mask().contains(QPoint(3, 3)));
    const QImage header = bar_->grab(QRect(0, 0, 190, 43)).toImage();
    QCOMPARE(header.pixelColor(188, 42), QColor(Qt::white));
    QCOMPARE(header.pixelColor(188, 1), QColor(0xFD, 0xF4, 0xF5));
  }

  void livesInTheMainFrameWithProductionTiming() {
    MainFrameHooks hooks;
    hooks.splashMilliseconds = 1;
    hooks.createChannelBar = &ChannelBar::Create;
    CAppBarMngr dock;
    CMainFrame frame(dock, hooks);
    frame.resize(200, 700);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    auto* bar = qobject_cast<ChannelBar*>(frame.ChannelBar());
    QVERIFY(bar);
    QTRY_VERIFY(bar->isVisibleTo(&frame));
    QVERIFY(bar->parentWidget() == &frame && !bar->isWindow());
    QCOMPARE(bar->ChannelSelector()->Text(), QString::fromUtf8("全部频道"));
    QCOMPARE(bar->Channels().Names(), std::vector<std::string>({"科技", "体育"}));

    // Escape in the search box does not close the panel; the close command does.
    QTest::keyClick(bar->SearchEdit(), Qt::Key_Escape);
    test::Settle(100);
    QVERIFY(bar->isVisibleTo(&frame));
    PostCommand(bar, kCmdCloseChannelBar);
    QTRY_VERIFY(!bar->isVisibleTo(&frame));
  }

  void destroyingTheBarWhileAPassWaitsReturnsPromptly() {
    WorkerTiming timing = test::FastTiming();
    timing.firstPassDelay = 60s;  // no downloads: the rows come from the store
    StartBar(timing);
    QVERIFY(test::WaitForDocument(bar_->View()));
    RssFeed feed = ParseFeedFromMemory(FeedXml("held", 10));
    feed.className = "held";
    feed.feedLink = "http://e.example/held";
    QCOMPARE(SaveFeedItems(feed).stored, 10);

    // Start a pass and keep the GUI thread away: the pass waits for its first row.
    bar_->PostUnreadReady("");
    QCoreApplication::sendPostedEvents(bar_, kMsgUnreadReady);
    QThread::msleep(200);
    QElapsedTimer timer;
    timer.start();
    delete bar_;
    bar_ = nullptr;
    QVERIFY2(timer.elapsed() < 2000, qPrintable(QString::number(timer.elapsed())));

    // Nothing was handed over, so nothing was marked read.
    RssFeed unread;
    LoadUnreadItems(unread, "");
    QCOMPARE(unread.ItemCount(), size_t{10});
  }

 private:
  void WriteProfile(const std::string& name, const std::string& utf8) {
    program_->WriteProfile(name, Utf8ToGb18030(utf8));
  }

  // The first pass stores and announces its rows, and the all-channels page shows them; then
  // a later refresh's rows wait unread in the store.
  void ShowFirstPassThenStoreMore() {
    WaitForDownloads({"/feed/tech", "/feed/sport"});
    QTRY_COMPARE_WITH_TIMEOUT(RowTexts().size(), 6, 10000);
    for (const auto& [channel, prefix] : {std::pair{"科技", "techB"}, {"体育", "sportB"}}) {
      RssFeed feed = ParseFeedFromMemory(FeedXml(prefix, 3));
      feed.className = channel;
      feed.feedLink = std::string("http://e.example/") + prefix;
      QCOMPARE(SaveFeedItems(feed).stored, 3);
    }
  }

  void StartBar(WorkerTiming timing = test::FastTiming()) {
    bar_ = new TestBar(frame_.get(), timing);
    bar_->setGeometry(0, 0, 199, 560);
    frame_->show();
    bar_->show();
    QVERIFY(QTest::qWaitForWindowExposed(frame_.get()));
  }

  // Waits until every path was fetched and the refreshes have had time to be stored.
  void WaitForDownloads(const std::vector<std::string>& paths) {
    QTRY_VERIFY_WITH_TIMEOUT(std::all_of(paths.begin(), paths.end(),
                                         [this](const std::string& path) {
                                           const auto requests = server_->Requests();
                                           return std::find(requests.begin(), requests.end(),
                                                            path) != requests.end();
                                         }),
                             10000);
    test::Settle(300);
  }

  int Count(const std::string& path) const {
    const auto requests = server_->Requests();
    return static_cast<int>(std::count(requests.begin(), requests.end(), path));
  }
  static bool HasUnread() {
    RssFeed unread;
    LoadUnreadItems(unread, "");
    return unread.ItemCount() > 0;
  }
  void ChooseChannel(int id) {
    bar_->choice = id;
    PostUserMessage(bar_, kMsgLabelButton, 0, LabelButton::kTextWithArrow);
    QTRY_COMPARE(bar_->ChannelSelector()->Text(),
                 QString::fromStdString(bar_->Channels().NameOfCommand(id).value_or("")));
  }
  // The text that says why the list is empty, "" while it is not shown.
  QString Notice() {
    return Script(
        "(function () { var n = document.getElementById('lm_notice');"
        " return n && n.style.display != 'none' ? n.textContent : ''; })()");
  }

  using Change = SubscriptionChangedEvent::Change;
  void Post(Change change, const char* name) {
    QCoreApplication::postEvent(bar_, new SubscriptionChangedEvent(change, name));
  }

  QWidget* Child(int id) { return bar_->findChild<QWidget*>(QString::number(id)); }

  QString Script(const QString& script) {
    return test::RunScript(bar_->View()->page(), script).toString();
  }
  QStringList RowTexts() {
    return test::RunScript(bar_->View()->page(),
                           "Array.from(document.querySelectorAll('#c_1 > div')).map("
                           "d => d.firstChild.textContent)")
        .toStringList();
  }

  QSet<QString> RowSet() {
    const QStringList rows = RowTexts();
    return QSet<QString>(rows.begin(), rows.end());
  }

  std::unique_ptr<test::ScopedProgramDirectory> program_;
  std::unique_ptr<test::LoopbackServer> server_;
  test::MessageBoxRecorder messages_;
  std::unique_ptr<FrameStandIn> frame_;
  TestBar* bar_ = nullptr;  // child of the frame
};

}  // namespace lumarine

QTEST_MAIN(lumarine::ChannelBarTest)

#include "channel_bar_test.moc"
