// Notifications and the tray badge: a real session bus (dbus-run-session), a recorder owning
// the service, the real frame and channel bar, a real news.mdb and a loopback feed server.
#include "app/news_notifier.h"

#include <QApplication>
#include <QCheckBox>
#include <QDBusConnection>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTabWidget>
#include <QTest>
#include <atomic>

#include "app/app_bar_mngr.h"
#include "app/main_frame.h"
#include "app/settings_dialog.h"
#include "app/tray_badge.h"
#include "base/bar_images.h"
#include "base/command_ids.h"
#include "base/message_ids.h"
#include "base/user_message_event.h"
#include "channelbar/channel_bar.h"
#include "feeds/refresh_events.h"
#include "htmlview/html_ctrl_ex.h"
#include "platform/settings.h"
#include "store/news_counter.h"
#include "store/news_database_file.h"
#include "support/fast_timing.h"
#include "support/loopback_server.h"
#include "support/notification_recorder.h"
#include "support/page_script.h"
#include "support/temp_dir.h"
#include "support/web_view_test.h"

namespace lumarine {
namespace {

using Route = NewsNotifier::Route;

// Newest first, as feeds list them: generation g adds four items in front of the older ones.
std::string FeedXml(int generation) {
  std::string xml = "<rss version=\"2.0\"><channel><title>t</title>";
  for (int g = generation; g >= 1; --g)
    for (int i = 0; i < (g == 1 ? 3 : 4); ++i)
      xml += "<item><title>g" + std::to_string(g) + "&amp;&lt;" + std::to_string(i) +
             "</title><link>http://e.example/" + std::to_string(g) + "/" + std::to_string(i) +
             "</link></item>";
  return xml + "</channel></rss>";
}

QImage TrayImage(const CMainFrame& frame) {
  return frame.TrayIcon()->icon().pixmap(32).toImage().convertToFormat(QImage::Format_ARGB32);
}

QImage PlainIcon() { return AppIcon().pixmap(32).toImage().convertToFormat(QImage::Format_ARGB32); }

}  // namespace

class NewsNotifierTest : public WebViewTest {
  Q_OBJECT

  // The real frame with a real channel bar whose refresh worker fetches every pass anew.
  struct Bar {
    Bar() {
      WorkerTiming timing = test::FastTiming();
      timing.dueAfterMs = 0;
      MainFrameHooks hooks;
      hooks.createChannelBar = [timing](QWidget* frame) { return new ChannelBar(frame, timing); };
      hooks.signalListRefresh = [] { ListRefreshEvent().Set(); };
      hooks.trayAvailable = [] { return true; };
      hooks.splashMilliseconds = 10;
      frame = std::make_unique<CMainFrame>(dock, std::move(hooks));
      dock.Attach(frame.get(), 200, true);
    }
    void GoToTray() const {
      QTRY_VERIFY(!dock.Sliding());  // the start-up slide would show the frame again
      QTest::mousePress(frame.get(), Qt::LeftButton, {}, QPoint(frame->width() - 42, 12));
      QVERIFY(!frame->isVisible());
    }
    CAppBarMngr dock;
    std::unique_ptr<CMainFrame> frame;
  };

  std::unique_ptr<test::ScopedProgramDirectory> program_;
  std::unique_ptr<test::LoopbackServer> server_;
  std::atomic<int> generation_{1};

  bool HaveBus() const { return QDBusConnection::sessionBus().isConnected(); }

  // Sets the feed's next generation and runs a pass; waits until it has been fetched and
  // its rows are stored.
  void Pass(int generation, long long rowsAfter) {
    generation_ = generation;
    const size_t before = server_->Requests().size();
    FeedRefreshEvent().Set();
    QTRY_VERIFY_WITH_TIMEOUT(server_->Requests().size() > before, 10000);
    QTRY_COMPARE_WITH_TIMEOUT(NewsCounter::LastRowId().value_or(-1), rowsAfter, 10000);
  }

 private slots:
  void init() {
    generation_ = 1;
    ListRefreshEvent().Reset();
    SetShownChannelName("");
    program_ = std::make_unique<test::ScopedProgramDirectory>();
    std::string error;
    QCOMPARE(CreateNewsDatabase(program_->Path() + "/news.mdb",
                                test::ReadFileBytes(LUMARINE_NEWS_SCHEMA), error),
             CreateDatabaseResult::kCreated);
    server_ = std::make_unique<test::LoopbackServer>();
    server_->Server().Get("/feed", [this](const httplib::Request&, httplib::Response& res) {
      res.set_content(FeedXml(generation_), "text/xml");
    });
    server_->Start();
    program_->WriteProfile("qixchannel.ini",
                           "[channel]\nchannelcnt=1\nchannel1=科技\n[科技]\n"
                           "feedcnt=1\nfeed1=" +
                               server_->Url("/feed") + "\n");
    program_->WriteProfile("userchannel.ini",
                           "[userchannel]\nchannelcnt=1\nchannel1=科技\n[科技]\nsubstate=1\n");
  }

  void cleanup() {
    server_.reset();
    program_.reset();
  }

  void hiddenBarGetsOneNotificationPerPassWhoseActionBringsItBack() {
    if (!HaveBus()) QSKIP("needs a session bus (dbus-run-session)");
    test::NotificationRecorder service;
    QVERIFY(service.Registered());
    Bar bar;
    // The first pass lands on the list in view: no notification, no badge.
    QTRY_COMPARE_WITH_TIMEOUT(NewsCounter::LastRowId().value_or(-1), 3LL, 10000);
    test::Settle(300);
    QVERIFY(service.Calls().empty());

    bar.GoToTray();
    const QImage plain = TrayImage(*bar.frame);
    QCOMPARE(plain, PlainIcon());
    Pass(2, 7);
    QTRY_COMPARE(service.Calls().size(), size_t(1));
    const test::NotificationRecorder::Call call = service.Calls().front();
    QCOMPARE(call.summary, QString("Lumarine快讯"));
    QCOMPARE(call.body, QString("4 条新闻\ng2&amp;&lt;0\ng2&amp;&lt;1\ng2&amp;&lt;2"));
    QCOMPARE(call.actions.value(0), QString("default"));
    QVERIFY(call.hints.contains("image-data"));
    QVERIFY(TrayImage(*bar.frame) != plain);
    QCOMPARE(bar.frame->TrayIcon()->toolTip(), QString("Lumarine Is Running\n4 条未读"));

    // Only stored rows found: nothing to announce.
    Pass(2, 7);
    test::Settle(300);
    QCOMPARE(service.Calls().size(), size_t(1));

    // The next one replaces ours still on screen, and stays clickable.
    Pass(3, 11);
    QTRY_COMPARE(service.Calls().size(), size_t(2));
    const test::NotificationRecorder::Call next = service.Calls().back();
    QCOMPARE(next.replacesId, call.id);
    QCOMPARE(bar.frame->TrayIcon()->toolTip(), QString("Lumarine Is Running\n8 条未读"));

    // Another program's notification clicked does nothing; ours brings the bar back.
    service.InvokeAction(call.id + 100, "default");
    test::Settle(300);
    QVERIFY(!bar.frame->isVisible());
    service.InvokeAction(next.id, "default");
    QTRY_VERIFY(bar.frame->isVisible());
    QVERIFY(bar.frame->NewsListVisible());
    QTRY_COMPARE(TrayImage(*bar.frame), plain);
    QCOMPARE(bar.frame->TrayIcon()->toolTip(), QString("Lumarine Is Running"));
    QTRY_COMPARE(service.Closed(), std::vector<uint>{next.id});

    // A click that arrives while the bar closes leaves it closed.
    bar.GoToTray();
    Pass(4, 15);
    QTRY_COMPARE(service.Calls().size(), size_t(3));
    bar.frame->OnCommand(kCmdExit);
    service.InvokeAction(service.Calls().back().id, "default");
    test::Settle(300);
    QVERIFY(!bar.frame->isVisible());
  }

  void autoHiddenBarOrClosedPanelIsAnnouncedAndShownAndTheSettingSilencesBoth() {
    if (!HaveBus()) QSKIP("needs a session bus (dbus-run-session)");
    test::NotificationRecorder service;
    Bar bar;
    QTRY_COMPARE_WITH_TIMEOUT(NewsCounter::LastRowId().value_or(-1), 3LL, 10000);
    QTRY_VERIFY(!bar.dock.Sliding());
    bar.frame->move(-bar.frame->width(), bar.frame->y());  // where auto-hide leaves it
    Pass(2, 7);
    QTRY_COMPARE(service.Calls().size(), size_t(1));
    service.InvokeAction(service.Calls().front().id, "default");
    QTRY_VERIFY(bar.frame->NewsListVisible());
    QTRY_COMPARE(bar.frame->x(), 0);  // slid in

    // The channel panel closed: announced too, and the action opens the panel again.
    PostUserMessage(bar.frame.get(), kMsgToggleChannelBar);
    QTRY_VERIFY(!bar.frame->ChannelBar()->isVisible());
    Pass(3, 11);
    QTRY_COMPARE(service.Calls().size(), size_t(2));
    service.InvokeAction(service.Calls().back().id, "default");
    QTRY_VERIFY(bar.frame->ChannelBar()->isVisible() && bar.frame->NewsListVisible());

    Settings::SetNotify(false);
    bar.GoToTray();
    Pass(4, 15);
    test::Settle(300);
    QCOMPARE(service.Calls().size(), size_t(2));
    QCOMPARE(TrayImage(*bar.frame), PlainIcon());
    QCOMPARE(bar.frame->TrayIcon()->toolTip(), QString("Lumarine Is Running"));
  }

  // Run twice by ctest: on a bus without the service, and with no bus at all.
  void withoutAServiceTheBalloonWithoutABusOrIconNothingAndNoWait() {
    QSystemTrayIcon icon(AppIcon());
    icon.show();
    QSystemTrayIcon* shownIcon = HaveBus() ? &icon : nullptr;
    int shows = 0;
    QElapsedTimer clock;
    clock.start();
    NewsNotifier notifier({[] { return false; }, [&shows] { ++shows; }, [&] { return shownIcon; }});
    QSignalSpy announced(&notifier, &NewsNotifier::Announced);
    notifier.OnNewsStored(2, {"a", "b"});
    if (!HaveBus()) {
      QCOMPARE(announced.size(), 1);  // at once: nothing waited for an answer
      QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
      QCOMPARE(announced.at(0).at(0).value<Route>(), Route::kNothing);
      return;
    }
    QTRY_COMPARE(announced.size(), 1);
    QCOMPARE(announced.at(0).at(0).value<Route>(), Route::kBalloon);
    emit icon.messageClicked();
    QCOMPARE(shows, 1);
    shownIcon = nullptr;
    notifier.OnNewsStored(1, {"c"});
    QTRY_COMPARE(announced.size(), 2);
    QCOMPARE(announced.at(1).at(0).value<Route>(), Route::kNothing);
  }

  void badgeDrawsTheCountInTheCornerAndNinetyNinePlusAboveNinetyNine() {
    const QImage plain = AppIconImage(32), five = TrayBadge::Image(32, 5);
    QCOMPARE(TrayBadge::Image(32, 0), plain);
    QVERIFY(five != plain && five != TrayBadge::Image(32, 6));
    QCOMPARE(TrayBadge::Image(32, 100), TrayBadge::Image(32, 5000));
    QVERIFY(TrayBadge::Image(32, 100) != TrayBadge::Image(32, 99));
    QVERIFY(five.pixel(3, 3) == plain.pixel(3, 3) && five.pixel(28, 26) != plain.pixel(28, 26));
  }

  void settingsBoxShowsTheSettingAndWritesItAtOnce() {
    auto dialog = std::make_unique<SettingsDialog>();
    QCOMPARE(dialog->NotifyBox()->text(), QString("有新闻时通知我"));
    QCOMPARE(dialog->NotifyBox()->parentWidget(), dialog->Tabs()->widget(0));
    QVERIFY(dialog->NotifyBox()->isChecked());
    dialog->NotifyBox()->setChecked(false);
    QCOMPARE(Settings::ReadInt("setting", "notify", -1), 0);
    dialog = std::make_unique<SettingsDialog>();
    QVERIFY(!dialog->NotifyBox()->isChecked());
  }
};

}  // namespace lumarine

QTEST_MAIN(lumarine::NewsNotifierTest)
#include "news_notifier_test.moc"
