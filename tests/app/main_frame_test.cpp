#include "app/main_frame.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QTabWidget>
#include <QTest>
#include <QWindow>

#include "app/about_dialog.h"
#include "app/app_bar_mngr.h"
#include "app/command_line.h"
#include "app/settings_dialog.h"
#include "app/x11_dock_properties.h"
#include "base/bar_images.h"
#include "base/command_ids.h"
#include "base/user_message_event.h"
#include "platform/settings.h"
#include "support/temp_dir.h"

namespace lumarine {
namespace {

// Stands in for the channel bar: records the commands posted to it and the keys its child
// receives.
class ChannelBarRecorder : public QWidget {
 public:
  explicit ChannelBarRecorder(QWidget* parent) : QWidget(parent), child(new KeyChild(this)) {}

  bool event(QEvent* event) override {
    if (event->type() == static_cast<QEvent::Type>(kMsgCommand)) {
      commands.push_back(static_cast<int>(static_cast<UserMessageEvent*>(event)->First()));
      return true;
    }
    return QWidget::event(event);
  }

  struct KeyChild : QWidget {
    explicit KeyChild(QWidget* parent) : QWidget(parent) { setFocusPolicy(Qt::StrongFocus); }
    void keyPressEvent(QKeyEvent* event) override { keys.push_back(event->key()); }
    std::vector<int> keys;
  };

  KeyChild* child;
  std::vector<int> commands;
};

QRgb Pixel(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }

}  // namespace

class MainFrameTest : public QObject {
  Q_OBJECT

  struct Bar {
    explicit Bar(MainFrameHooks hooks = {}, bool left = true) {
      if (hooks.splashMilliseconds == 4000) hooks.splashMilliseconds = 30000;
      frame = std::make_unique<CMainFrame>(dock, std::move(hooks));
      dock.Attach(frame.get(), 200, left);
    }
    void Settle() const { QTRY_VERIFY(!dock.Sliding()); }
    CAppBarMngr dock;
    std::unique_ptr<CMainFrame> frame;
  };

  std::unique_ptr<test::ScopedProgramDirectory> program_;

 private slots:
  void init() {
    program_ = std::make_unique<test::ScopedProgramDirectory>();
    QVERIFY(QGuiApplication::platformName() == "xcb");
  }
  void cleanup() { program_.reset(); }

  void paintsTheTitleBandGlyphsAndEdgeLine() {
    for (bool left : {true, false}) {
      Bar bar({}, left);
      bar.Settle();
      const int w = bar.frame->width();
      const QImage image = bar.frame->grab().toImage();
      const QImage strip = TitleStripImage();
      for (int y = 0; y < 30; ++y) QCOMPARE(Pixel(image, 130, y), Pixel(strip, 0, y));
      const QRgb shade = ThemeShade(2).rgb() & 0xFFFFFF;
      QCOMPARE(shade, QRgb(0xBFBFFF));
      // Tray bar, the triangle's widest row and its tip, the X's corners and centre.
      for (const QPoint p :
           {QPoint(w - 46, 12), QPoint(w - 39, 13), QPoint(w - 29, 9), QPoint(w - 21, 9),
            QPoint(w - 25, 14), QPoint(w - 12, 8), QPoint(w - 4, 16), QPoint(w - 8, 12),
            QPoint(w - 4, 8), QPoint(w - 12, 16), QPoint(w - 11, 8), QPoint(w - 12, 9)})
        QVERIFY2(Pixel(image, p.x(), p.y()) == shade,
                 qPrintable(QString("%1,%2").arg(p.x()).arg(p.y())));
      // Outside the glyphs the title strip shows.
      for (const QPoint p : {QPoint(w - 38, 12), QPoint(w - 30, 9), QPoint(w - 26, 14),
                             QPoint(w - 12, 12), QPoint(w - 8, 8)})
        QCOMPARE(Pixel(image, p.x(), p.y()), Pixel(strip, 0, p.y()));
      const int y = image.height() / 2 + 40;
      const int edge = left ? w - 2 : 0;
      QCOMPARE(Pixel(image, edge, y), left ? QRgb(0xFFFFFF) : QRgb(0xC8C8C8));
      QCOMPARE(Pixel(image, edge + 1, y), left ? QRgb(0xC8C8C8) : QRgb(0xFFFFFF));
      QCOMPARE(Pixel(image, 100, y), QRgb(0xF7F7F3));
    }
  }

  void showsTheSloganUntilTheSplashTimerAndThenThePanels() {
    program_->WriteProfile("sysopt.ini", "[main]\r\nbSubHide=1\r\nbChannelHide=1\r\n");
    MainFrameHooks hooks;
    hooks.splashMilliseconds = 300;
    Bar bar(std::move(hooks));
    bar.Settle();
    const auto sloganPixels = [&bar] {
      const QImage image = bar.frame->grab().toImage();
      int count = 0;
      for (int y = image.height() / 2 - 10; y < image.height() / 2 + 10; ++y)
        for (int x = 10; x < 190; ++x) count += Pixel(image, x, y) != 0xF7F7F3;
      return count;
    };
    QVERIFY(bar.frame->SplashShown());
    QVERIFY(sloganPixels() > 20);
    QTRY_VERIFY(!bar.frame->SplashShown());
    QCOMPARE(sloganPixels(), 0);
    // Both panels hidden: none exists, the splitter sits at the bottom.
    QVERIFY(!bar.frame->SubjectBar());
    QVERIFY(!bar.frame->ChannelBar());
    QCOMPARE(bar.frame->SplitterPosition(), bar.frame->height());
  }

  void placesThePanelsAfterTheSplashByTheHiddenSettings() {
    struct Case {
      const char* ini;
      bool subject;
      bool channel;
      int splitter;  // -1: the client bottom
    };
    const Case cases[] = {{"", true, true, 200},
                          {"[main]\r\nbSubHide=1\r\n", false, true, 28},
                          {"[main]\r\nbChannelHide=1\r\n", true, false, -1}};
    for (const Case& c : cases) {
      program_->WriteProfile("sysopt.ini", c.ini);
      MainFrameHooks quick;
      quick.splashMilliseconds = 200;
      CAppBarMngr dock;
      dock.SetSide(true);
      CMainFrame frame(dock, quick);
      frame.resize(200, 700);
      QCOMPARE(bool(frame.SubjectBar()), c.subject);
      QCOMPARE(bool(frame.ChannelBar()), c.channel);
      if (c.subject) QVERIFY(!frame.SubjectBar()->isVisibleTo(&frame));
      QTRY_VERIFY(!frame.SplashShown());
      const int h = frame.height();
      QCOMPARE(frame.SplitterPosition(), c.splitter < 0 ? h : c.splitter);
      if (c.subject) {
        QVERIFY(frame.SubjectBar()->isVisibleTo(&frame));
        QCOMPARE(frame.SubjectBar()->geometry(),
                 QRect(0, 30, 199, frame.SplitterPosition() - 3 - 30));
      }
      if (c.channel) {
        QVERIFY(frame.ChannelBar()->isVisibleTo(&frame));
        const int top = frame.SplitterPosition() + 3;
        QCOMPARE(frame.ChannelBar()->geometry(), QRect(0, top, 199, h - 2 - top));
      }
    }
  }

  void togglesPanelsWithTheirSplitterRulesAndRemembersThem() {
    program_->WriteProfile("sysopt.ini", "[main]\r\nbSubHide=1\r\nbChannelHide=1\r\n");
    MainFrameHooks hooks;
    hooks.splashMilliseconds = 1;
    int refreshes = 0;
    hooks.signalListRefresh = [&refreshes] { ++refreshes; };
    CAppBarMngr dock;
    CMainFrame frame(dock, hooks);
    frame.resize(200, 700);
    QTRY_VERIFY(!frame.SplashShown());

    frame.OnCommand(kCmdToggleChannelBar);
    QTRY_VERIFY(frame.ChannelBar() && frame.ChannelBar()->isVisibleTo(&frame));
    QCOMPARE(frame.SplitterPosition(), 30);
    QCOMPARE(refreshes, 1);
    QCOMPARE(Settings::ReadInt("main", "bChannelHide", -1), 0);

    frame.OnCommand(kCmdToggleSubjectBar);
    QTRY_VERIFY(frame.SubjectBar() && frame.SubjectBar()->isVisibleTo(&frame));
    QCOMPARE(frame.SplitterPosition(), 700 / 3);
    QCOMPARE(Settings::ReadInt("main", "bSubHide", -1), 0);

    frame.OnCommand(kCmdToggleChannelBar);
    QTRY_VERIFY(!frame.ChannelBar()->isVisibleTo(&frame));
    QCOMPARE(frame.SplitterPosition(), 700);
    QCOMPARE(Settings::ReadInt("main", "bChannelHide", -1), 1);

    // Shown again, a panel gets back the split the two had, dragged or not.
    frame.OnCommand(kCmdToggleChannelBar);
    QTRY_VERIFY(frame.ChannelBar()->isVisibleTo(&frame));
    QCOMPARE(frame.SplitterPosition(), 700 / 3);

    frame.OnCommand(kCmdToggleSubjectBar);
    QTRY_VERIFY(!frame.SubjectBar()->isVisibleTo(&frame));
    QCOMPARE(frame.SplitterPosition(), 30);
    frame.OnCommand(kCmdToggleSubjectBar);
    QTRY_VERIFY(frame.SubjectBar()->isVisibleTo(&frame));
    QCOMPARE(frame.SplitterPosition(), 700 / 3);
    frame.OnCommand(kCmdToggleSubjectBar);
    QTRY_VERIFY(!frame.SubjectBar()->isVisibleTo(&frame));
    QCOMPARE(Settings::ReadInt("main", "bSubHide", -1), 1);
    QVERIFY(program_->ReadProfile("sysopt.ini").find("bSubHide=1") != std::string::npos);
  }

  void dragsTheSplitterWithinItsBounds() {
    MainFrameHooks hooks;
    hooks.splashMilliseconds = 1;
    Bar bar(hooks);
    bar.Settle();
    CMainFrame& frame = *bar.frame;
    QTRY_VERIFY(!frame.SplashShown());
    const int h = frame.height();
    QTest::mousePress(&frame, Qt::LeftButton, {}, QPoint(100, 200));
    for (const auto& [y, expected] : std::vector<std::pair<int, int>>{
             {300, 300}, {30, 300}, {h - 19, 300}, {31, 31}, {h - 20, h - 20}}) {
      QTest::mouseMove(&frame, QPoint(100, y));
      QCOMPARE(frame.SplitterPosition(), expected);
    }
    QTest::mouseRelease(&frame, Qt::LeftButton, {}, QPoint(100, h - 20));
    QTest::mouseMove(&frame, QPoint(100, 100));
    QCOMPARE(frame.SplitterPosition(), h - 20);
    QCOMPARE(frame.ChannelBar()->geometry().top(), h - 17);
  }

  void arrowKeysPostScrollCommandsToTheChannelBarAndStillReachTheFocus() {
    MainFrameHooks hooks;
    hooks.splashMilliseconds = 1;
    ChannelBarRecorder* recorder = nullptr;
    hooks.createChannelBar = [&recorder](QWidget* frame) {
      recorder = new ChannelBarRecorder(frame);
      return recorder;
    };
    Bar bar(hooks);
    bar.Settle();
    QTRY_VERIFY(recorder && recorder->isVisible());
    bar.frame->activateWindow();
    recorder->child->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), recorder->child);
    QTest::keyClick(recorder->child, Qt::Key_Up);
    QTest::keyClick(recorder->child, Qt::Key_Down);
    QTest::keyClick(recorder->child, Qt::Key_Left);
    QTRY_COMPARE(recorder->commands, (std::vector<int>{kCmdScrollUp, kCmdScrollDown}));
    QCOMPARE(recorder->child->keys, (std::vector<int>{Qt::Key_Up, Qt::Key_Down, Qt::Key_Left}));
  }

  void mainMenuOffersEveryFrameCommandWithTheDockSideText() {
    program_->WriteProfile("sysopt.ini", "[main]\r\nbSlibing=0\r\n");
    for (bool left : {true, false}) {
      Bar bar({}, left);
      bar.Settle();
      CMainFrame& frame = *bar.frame;
      QTest::mousePress(&frame, Qt::LeftButton, {}, QPoint(frame.width() - 25, 12));
      QTRY_VERIFY(frame.MainMenu()->isVisible());
      QStringList texts;
      for (QAction* action : frame.MainMenu()->actions()) texts << action->text();
      const QStringList expected = {
          "关闭/显示专题栏",          "关闭/显示频道栏", "自动隐藏", "开机自动启动",
          left ? "右停靠" : "左停靠", "设置...",         "",         "关于Lumarine..."};
      QCOMPARE(texts, expected);
      QVERIFY(!frame.MenuAction(kCmdAutoHide)->isChecked());
      frame.MainMenu()->close();
      QCOMPARE(frame.MenuAction(kCmdSettings)->data().toInt(), kCmdSettings);
    }
    QCOMPARE(Bar().frame->TrayMenu()->actions().size(), 2);
  }

  void trayButtonWithoutANotificationAreaLeavesTheBarInPlace() {
    MainFrameHooks hooks;
    hooks.trayAvailable = [] { return false; };
    Bar bar(hooks);
    bar.Settle();
    bar.dock.Register(true);
    QTest::mousePress(bar.frame.get(), Qt::LeftButton, {}, QPoint(bar.frame->width() - 42, 12));
    QTest::qWait(50);
    QVERIFY(bar.frame->isVisible());
    QVERIFY(bar.dock.Registered());
    QVERIFY(!x11::ReadCardinals(bar.frame.get(), "_NET_WM_STRUT_PARTIAL").empty());
  }

  void trayHidesAndGivesBackTheStripAndRestoreReservesItEvenInAutoHide() {
    program_->WriteProfile("sysopt.ini", "[main]\r\nbSlibing=1\r\n");
    MainFrameHooks hooks;
    hooks.trayAvailable = [] { return true; };
    Bar bar(hooks);
    bar.Settle();
    bar.dock.Register(true);
    QTest::mousePress(bar.frame.get(), Qt::LeftButton, {}, QPoint(bar.frame->width() - 42, 12));
    QVERIFY(!bar.frame->isVisible());
    QVERIFY(x11::ReadCardinals(bar.frame.get(), "_NET_WM_STRUT_PARTIAL").empty());
    QCOMPARE(bar.frame->TrayIcon()->toolTip(), QString("Lumarine Is Running"));
    QVERIFY(bar.frame->TrayIcon()->contextMenu() == bar.frame->TrayMenu());

    // A single click restores, as on every Linux desktop.
    PostUserMessage(bar.frame.get(), kMsgTrayNotify, QSystemTrayIcon::Trigger);
    QTRY_VERIFY(bar.frame->isVisible());
    QVERIFY(!bar.frame->TrayIcon()->isVisible());
    QCOMPARE(x11::ReadCardinals(bar.frame.get(), "_NET_WM_STRUT_PARTIAL").at(0), 204u);
  }

  void aSlideStillRunningNeverShowsAFrameSentToTheTrayOrClosed() {
    MainFrameHooks hooks;
    hooks.trayAvailable = [] { return true; };
    for (bool close : {false, true}) {
      Bar bar(hooks);
      QVERIFY(bar.dock.Sliding());
      const QPoint button(bar.frame->width() - (close ? 8 : 42), 12);
      QTest::mousePress(bar.frame.get(), Qt::LeftButton, {}, button);
      QVERIFY(!bar.frame->isVisible());
      QVERIFY(!bar.dock.Sliding());
      QTest::qWait(250);  // longer than the whole slide
      QVERIFY(!bar.frame->isVisible());
    }
  }

  void onlyTheLeftButtonEndsATitleBandDrag() {
    Bar bar;
    bar.Settle();
    CMainFrame& frame = *bar.frame;
    QTest::mousePress(&frame, Qt::LeftButton, {}, QPoint(50, 20));
    QVERIFY(bar.dock.MoveDragging());
    QTest::mouseRelease(&frame, Qt::RightButton, {}, QPoint(60, 20));
    QTest::mouseRelease(&frame, Qt::MiddleButton, {}, QPoint(60, 20));
    QVERIFY(bar.dock.MoveDragging());
    QTest::mouseRelease(&frame, Qt::LeftButton, {}, QPoint(60, 20));
    QVERIFY(!bar.dock.MoveDragging());
  }

  void dialogsOpenAboveTheBarAndTheSettingsStoreNothing() {
    Bar bar;
    bar.Settle();
    const std::string before = program_->ReadProfile("sysopt.ini");

    bar.frame->OnCommand(kCmdSettings);
    SettingsDialog* settings = bar.frame->findChild<SettingsDialog*>();
    QVERIFY(settings && settings->isVisible());
    QVERIFY(settings->windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(settings->isModal());
    QCOMPARE(settings->windowHandle()->transientParent(), bar.frame->windowHandle());
    QCOMPARE(settings->windowTitle(), QString("设置"));
    QCOMPARE(settings->Tabs()->count(), 3);
    QCOMPARE(settings->Tabs()->tabText(0), QString("常规设置"));
    QCOMPARE(settings->Tabs()->tabText(2), QString("频道设置"));
    QCOMPARE(settings->Tabs()->currentIndex(), 0);
    QVERIFY(!settings->AutoStartBox()->isChecked() && !settings->AutoHideBox()->isChecked());
    // The start-at-login box writes its entry at once (start_at_login_test).
    settings->AutoHideBox()->setChecked(true);
    QPointer<SettingsDialog> gone(settings);
    settings->accept();
    QTRY_VERIFY(gone.isNull());
    QCOMPARE(program_->ReadProfile("sysopt.ini"), before);
    QCOMPARE(bar.dock.AutoHide(), 0);

    bar.frame->OnCommand(kCmdAbout);
    AboutDialog* about = bar.frame->findChild<AboutDialog*>();
    QVERIFY(about && about->isVisible());
    QVERIFY(about->windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(about->windowTitle(), QString("关于Lumarine"));
    QStringList lines;
    for (QLabel* label : about->findChildren<QLabel*>()) lines << label->text();
    // The build's version, as --version prints it; no line sends the user to a file.
    QVERIFY(lines.contains(QString::fromStdString("版本：" + CommandLine::Version())));
    QVERIFY(QString::fromStdString(CommandLine::VersionText())
                .contains(QString::fromStdString(CommandLine::Version())));
    QVERIFY(lines.filter("ini").isEmpty());
    QCOMPARE(lines.size(), 4);  // the icon and three lines: no home server is set
    about->accept();
  }
};

}  // namespace lumarine

QTEST_MAIN(lumarine::MainFrameTest)

#include "main_frame_test.moc"
