#include "app/bar_app.h"

#include <QApplication>
#include <QScreen>
#include <QTest>

#include "app/app_bar_mngr.h"
#include "app/x11_dock_properties.h"
#include "support/temp_dir.h"

namespace lumarine {

// Start-up and shut-down of the whole bar on the test display.
class BarAppTest : public QObject {
  Q_OBJECT

  std::unique_ptr<test::ScopedProgramDirectory> program_;

  static void WaitForStartUp(const BarApp& app) {
    QVERIFY(app.MainFrame() && app.DockManager());
    QTRY_VERIFY(!app.DockManager()->Sliding());
  }

 private slots:
  void init() { program_ = std::make_unique<test::ScopedProgramDirectory>(); }
  void cleanup() { program_.reset(); }

  void docksAndReservesTheStripByTheSettings() {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const uint32_t bottom = static_cast<uint32_t>(screen.height() - 1);
    struct Case {
      const char* ini;
      int x;
      std::vector<uint32_t> strut;  // empty: none reserved
    };
    const Case cases[] = {
        {"", 0, {204, 0, 0, 0, 0, bottom, 0, 0, 0, 0, 0, 0}},
        {"[main]\r\nleft=2\r\n", 0, {204, 0, 0, 0, 0, bottom, 0, 0, 0, 0, 0, 0}},
        {"[main]\r\nleft=0\r\n", screen.width() - 200, {0, 204, 0, 0, 0, 0, 0, bottom, 0, 0, 0, 0}},
        {"[main]\r\nleft=abc\r\n",
         screen.width() - 200,
         {0, 204, 0, 0, 0, 0, 0, bottom, 0, 0, 0, 0}},
        {"[main]\r\nleft=1\r\nbSlibing=1\r\n", -200, {}},
        {"[main]\r\nleft=0\r\nbSlibing=1\r\n", screen.width() - 200, {}},
    };
    for (const Case& c : cases) {
      program_->WriteProfile("sysopt.ini", c.ini);
      BarApp app;
      QVERIFY(app.InitInstance());
      WaitForStartUp(app);
      CMainFrame* frame = app.MainFrame();
      QCOMPARE(frame->windowTitle(), QString("Ledgewatch"));
      QVERIFY(frame->windowFlags() & Qt::Tool);
      QVERIFY(frame->windowFlags() & Qt::WindowStaysOnTopHint);
      QVERIFY(frame->windowFlags() & Qt::FramelessWindowHint);
      QCOMPARE(frame->geometry(),
               QRect(c.x, 0, 200, QGuiApplication::primaryScreen()->availableGeometry().height()));
      QCOMPARE(x11::ReadCardinals(frame, "_NET_WM_STRUT_PARTIAL"), c.strut);
      if (!c.strut.empty()) {
        QCOMPARE(x11::ReadCardinals(frame, "_NET_WM_STRUT"),
                 std::vector<uint32_t>(c.strut.begin(), c.strut.begin() + 4));
        QCOMPARE(x11::ReadAtomNames(frame, "_NET_WM_WINDOW_TYPE"),
                 std::vector<QString>{"_NET_WM_WINDOW_TYPE_DOCK"});
      }
      QCOMPARE(app.HeaderBitmap().size(), QSize(1, 23));
      QVERIFY(app.HeaderFont() != nullptr);
      app.ExitInstance(0);
    }
  }

  void panelsPaintWithTheFontAndBitmapThatStartUpMade() {
    BarApp app;
    QVERIFY(app.InitInstance());
    WaitForStartUp(app);
    QCOMPARE(&BarApp::PanelHeaderFont(), app.HeaderFont());
    QCOMPARE(&BarApp::PanelHeaderBitmap(), &app.HeaderBitmap());
    // The panels are made once the bar stands at its edge, before the splash ends.
    QTRY_VERIFY(app.MainFrame()->SubjectBar() && app.MainFrame()->ChannelBar());
    QVERIFY(app.MainFrame()->SplashShown());
    app.ExitInstance(0);
    // Without a running application the panels still have one process-wide copy.
    QVERIFY(&BarApp::PanelHeaderBitmap() != &app.HeaderBitmap());
    QCOMPARE(BarApp::PanelHeaderBitmap().size(), QSize(1, 23));
  }

  void closingGivesBackTheStripAndHidesBeforeTheExitWorkRunsInOrder() {
    BarApp app;
    std::vector<std::string> events;
    QWidget* frame = nullptr;
    const auto record = [&](const char* name) {
      return [&, name] {
        const bool reserved = !x11::ReadCardinals(frame, "_NET_WM_STRUT_PARTIAL").empty();
        events.push_back(std::string(name) + (frame->isVisible() ? " visible" : " hidden") +
                         (reserved ? " reserved" : " free"));
      };
    };
    app.AddExitHook(record("clear news"));
    app.AddExitHook(record("usage report"));
    app.AddExitHook(record("join workers"));
    QVERIFY(app.InitInstance());
    WaitForStartUp(app);
    frame = app.MainFrame();
    QVERIFY(!x11::ReadCardinals(frame, "_NET_WM_STRUT_PARTIAL").empty());

    // The close button at the title band's right end.
    QTest::mousePress(frame, Qt::LeftButton, {}, QPoint(frame->width() - 8, 12));
    QVERIFY(!frame->isVisible());
    QVERIFY(x11::ReadCardinals(frame, "_NET_WM_STRUT_PARTIAL").empty());
    QVERIFY(events.empty());
    QCOMPARE(app.ExitInstance(0), 0);
    QCOMPARE(events, (std::vector<std::string>{"clear news hidden free", "usage report hidden free",
                                               "join workers hidden free"}));
    QVERIFY(!app.MainFrame());
    QVERIFY(!CAppBarMngr::Instance());
  }
};

}  // namespace lumarine

QTEST_MAIN(lumarine::BarAppTest)

#include "bar_app_test.moc"
