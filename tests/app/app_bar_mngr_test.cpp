#include "app/app_bar_mngr.h"

#include <QApplication>
#include <QCursor>
#include <QMoveEvent>
#include <QScreen>
#include <QTest>
#include <cmath>

#include "app/main_frame.h"
#include "app/x11_dock_properties.h"
#include "base/command_ids.h"
#include "platform/settings.h"
#include "support/temp_dir.h"

namespace lumarine {

// Docking, dragging and auto-hide against a real frame on the test display.
class AppBarMngrTest : public QObject {
  Q_OBJECT

  struct Bar {
    explicit Bar(bool left) {
      dock.drawOutline = [this](const QRect& r) { outlines.push_back(r); };
      frame = std::make_unique<CMainFrame>(dock);
      dock.Attach(frame.get(), 200, left);
      Settle();
      dock.RegisterByMode();
    }
    void Settle() const { QTRY_VERIFY(!dock.Sliding()); }
    uint32_t StrutAt(int index) const {
      const auto strut = x11::ReadCardinals(frame.get(), "_NET_WM_STRUT_PARTIAL");
      return strut.empty() ? 0 : strut.at(static_cast<size_t>(index));
    }
    CAppBarMngr dock;
    std::unique_ptr<CMainFrame> frame;
    std::vector<QRect> outlines;
  };

  std::unique_ptr<test::ScopedProgramDirectory> program_;
  int screenWidth_ = 0;
  int screenHeight_ = 0;

  // QTest positions are relative to the widget, which may jump during the drag.
  static void MoveTo(QWidget* frame, QPoint global) {
    QTest::mouseMove(frame, frame->mapFromGlobal(global));
  }

 private slots:
  void init() {
    program_ = std::make_unique<test::ScopedProgramDirectory>();
    screenWidth_ = QGuiApplication::primaryScreen()->geometry().width();
    screenHeight_ = QGuiApplication::primaryScreen()->geometry().height();
    QCursor::setPos(screenWidth_ / 2, 400);
  }
  void cleanup() { program_.reset(); }

  void slideEndsAtTheEdgeAndSetSideMovesAtOnce() {
    Bar bar(true);
    QCOMPARE(bar.frame->pos(), QPoint(0, 0));
    bar.dock.SetSide(false);
    QCOMPARE(bar.frame->pos(), QPoint(screenWidth_ - 200, 0));
    QCOMPARE(Settings::ReadInt("main", "left", -1), 0);
    bar.dock.Slide(-200, true);
    QVERIFY(bar.dock.Sliding());
    QElapsedTimer clock;
    clock.start();
    QTRY_VERIFY(!bar.dock.Sliding());
    QVERIFY(clock.elapsed() >= 150);  // eleven steps of 5 to 25 ms
    QCOMPARE(bar.frame->x(), 0);
  }

  void dragAcrossTheMiddleSwitchesAtOnceAndRegistersOnRelease() {
    Bar bar(true);
    QCOMPARE(bar.StrutAt(0), 204u);
    CMainFrame* frame = bar.frame.get();
    QTest::mousePress(frame, Qt::LeftButton, {}, QPoint(50, 20));
    MoveTo(frame, QPoint(300, 20));
    QCOMPARE(frame->x(), 0);
    QCOMPARE(bar.outlines.back(), QRect(250, 0, 200, frame->height()));
    MoveTo(frame, QPoint(screenWidth_ / 2 + 10, 20));
    QCOMPARE(frame->x(), screenWidth_ - 200);
    QCOMPARE(Settings::ReadInt("main", "left", -1), 0);
    QCOMPARE(bar.StrutAt(0), 204u);  // still the old strip while dragging
    const QPoint drop(screenWidth_ - 100, 40);
    MoveTo(frame, drop);
    bar.outlines.clear();
    QTest::mouseRelease(frame, Qt::LeftButton, {}, frame->mapFromGlobal(drop));
    QCOMPARE(bar.StrutAt(0), 0u);
    QCOMPARE(bar.StrutAt(1), 204u);
    // The glide: each outline erases the previous one, ends on the bar, then is erased.
    QVERIFY(bar.outlines.size() > 10);
    QCOMPARE(bar.outlines.back(), QRect(frame->pos(), QSize(200, frame->height())));
    QCOMPARE(bar.outlines.back(), bar.outlines[bar.outlines.size() - 2]);
  }

  void dragThatStaysOnItsHalfLeavesTheRegistrationAlone() {
    Bar bar(false);
    CMainFrame* frame = bar.frame.get();
    bar.dock.Register(false);
    QTest::mousePress(frame, Qt::LeftButton, {}, QPoint(50, 20));
    MoveTo(frame, QPoint(screenWidth_ - 300, 100));
    QTest::mouseRelease(frame, Qt::LeftButton, {},
                        frame->mapFromGlobal(QPoint(screenWidth_ - 300, 100)));
    QCOMPARE(frame->x(), screenWidth_ - 200);
    QVERIFY(x11::ReadCardinals(frame, "_NET_WM_STRUT_PARTIAL").empty());
    QVERIFY(!bar.outlines.empty());
  }

  void autoHideCommandTogglesTheModeTheStripAndTheCheckMark() {
    Bar bar(true);
    CMainFrame* frame = bar.frame.get();
    QCursor::setPos(100, 300);  // on the bar: no slide
    frame->OnCommand(kCmdAutoHide);
    QCOMPARE(Settings::ReadInt("main", "bSlibing", -1), 1);
    QCOMPARE(bar.dock.AutoHide(), 1);
    QVERIFY(!bar.dock.Sliding());
    QVERIFY(x11::ReadCardinals(frame, "_NET_WM_STRUT_PARTIAL").empty());

    frame->OnCommand(kCmdAutoHide);
    QCOMPARE(Settings::ReadInt("main", "bSlibing", -1), 0);
    QCOMPARE(bar.StrutAt(0), 204u);

    frame->OnCommand(kCmdSwitchDockSide);
    QCOMPARE(frame->x(), screenWidth_ - 200);
    QCOMPARE(bar.StrutAt(1), 204u);
  }

  void autoHideRevealsTheBarAtTheEdgeAndHidesItAfterThePointerLeaves() {
    for (bool left : {true, false}) {
      program_->WriteProfile(
          "sysopt.ini", left ? "[main]\r\nbSlibing=1\r\n" : "[main]\r\nbSlibing=1\r\nleft=0\r\n");
      Bar bar(left);
      CMainFrame* frame = bar.frame.get();
      const int edge = left ? 0 : screenWidth_ - 1;
      const int shown = left ? 0 : screenWidth_ - 200;
      const int hidden = left ? -200 : screenWidth_;
      if (!left) {
        // A bar docked right stays in view until the pointer has been on it and left.
        QCOMPARE(frame->x(), shown);
        QCursor::setPos(screenWidth_ - 50, 300);
        QTest::qWait(100);
        QCursor::setPos(screenWidth_ / 2, 300);
        QTRY_COMPARE(frame->x(), hidden);
      }
      QCOMPARE(frame->x(), hidden);
      // While it is away only the edge column waits for the pointer.
      QTRY_VERIFY(bar.dock.EdgeSentinelWindow());
      QCOMPARE(bar.dock.EdgeSentinelWindow()->geometry(), QRect(edge, 0, 1, screenHeight_));
      QCursor::setPos(edge, 300);
      QTRY_COMPARE(frame->x(), shown);
      QTRY_VERIFY(!bar.dock.Sliding());
      QVERIFY(!bar.dock.EdgeSentinelWindow());
      QTest::qWait(CAppBarMngr::kLeaveDelayMs + 100);
      QCOMPARE(frame->x(), shown);  // stays while the pointer is on it
      QCursor::setPos(screenWidth_ / 2, 300);
      QTRY_COMPARE(frame->x(), hidden);
      QVERIFY(x11::ReadCardinals(frame, "_NET_WM_STRUT_PARTIAL").empty());
      // Hidden, it is still a dock window: a window manager keeps part of an ordinary window
      // on the screen, and so part of the bar with its close button.
      QCOMPARE(x11::ReadAtomNames(frame, "_NET_WM_WINDOW_TYPE"),
               std::vector<QString>{"_NET_WM_WINDOW_TYPE_DOCK"});
    }
  }

  void autoHideGoesByEnterAndLeaveEventsNotByThePointerPosition() {
    // Over a native Wayland window the X server's pointer position stays where it left the
    // bar; only the leave event tells. And a pointer that only brushed the edge never enters
    // the bar that came in for it.
    program_->WriteProfile("sysopt.ini", "[main]\r\nbSlibing=1\r\n");
    // Where the bar has been: with the pointer left at the edge, a bar gone out comes straight
    // back in, so its hidden place is seen only in passing.
    struct Leftmost : QObject {
      int x = 0;
      bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Move)
          x = std::min(x, static_cast<QMoveEvent*>(event)->pos().x());
        return false;
      }
    };
    // The edge first, with the pointer away from it: a bar that slides in under a pointer Qt
    // last saw on its edge (a warp away from windows of ours goes unreported) gets an enter
    // of Qt's own making.
    QCursor::setPos(screenWidth_ / 2, 400);
    for (const bool fromTheEdge : {true, false}) {
      Bar bar(true);
      CMainFrame* frame = bar.frame.get();
      QTRY_VERIFY(bar.dock.EdgeSentinelWindow());
      if (fromTheEdge) {
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(bar.dock.EdgeSentinelWindow(), &enter);
      } else {
        QCursor::setPos(0, 300);
      }
      QTRY_COMPARE(frame->x(), 0);
      Leftmost leftmost;
      frame->installEventFilter(&leftmost);
      if (!fromTheEdge) {
        QTRY_VERIFY(frame->underMouse());
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(frame, &leave);
      }
      QTRY_COMPARE(leftmost.x, -200);
      frame->removeEventFilter(&leftmost);
      QCursor::setPos(screenWidth_ / 2, 400);
    }
  }

  void theBarIsAnUnlistedDockOnEveryWorkspaceBeforeItIsFirstMapped() {
    // Installed before Attach, this filter runs after the dock manager's on the first show,
    // which comes before the window is mapped.
    struct FirstShow : QObject {
      bool eventFilter(QObject* watched, QEvent* event) override {
        auto* window = static_cast<QWidget*>(watched);
        if (event->type() == QEvent::Show && type.empty() && !x11::IsMapped(window)) {
          type = x11::ReadAtomNames(window, "_NET_WM_WINDOW_TYPE");
          states = x11::ReadAtomNames(window, "_NET_WM_STATE");
          desktop = x11::ReadCardinals(window, "_NET_WM_DESKTOP");
        }
        return false;
      }
      std::vector<QString> type, states;
      std::vector<uint32_t> desktop;
    } watch;
    CAppBarMngr dock;
    CMainFrame frame(dock);
    frame.installEventFilter(&watch);
    dock.Attach(&frame, 200, true);
    QCOMPARE(watch.type, std::vector<QString>{"_NET_WM_WINDOW_TYPE_DOCK"});
    for (const char* state : {"_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER",
                              "_NET_WM_STATE_STICKY", "_NET_WM_STATE_ABOVE"})
      QVERIFY2(std::count(watch.states.begin(), watch.states.end(), QString(state)) == 1, state);
    QCOMPARE(watch.desktop, std::vector<uint32_t>{0xFFFFFFFF});
  }

  void reservesTheStripInDevicePixels() {
    // Run once more with QT_SCALE_FACTOR=2 (see CMakeLists.txt): the window is then twice as
    // wide on the screen as Qt's 200, and so must the strip be.
    for (bool left : {true, false}) {
      Bar bar(left);
      const double ratio = bar.frame->devicePixelRatio();
      if (qEnvironmentVariable("QT_SCALE_FACTOR") == "2") QCOMPARE(ratio, 2.0);
      const auto reserved = static_cast<uint32_t>(std::lround(204 * ratio));
      const auto bottom = static_cast<uint32_t>(std::lround(screenHeight_ * ratio)) - 1;
      const std::vector<uint32_t> expected =
          left ? std::vector<uint32_t>{reserved, 0, 0, 0, 0, bottom, 0, 0, 0, 0, 0, 0}
               : std::vector<uint32_t>{0, reserved, 0, 0, 0, 0, 0, bottom, 0, 0, 0, 0};
      QCOMPARE(x11::ReadCardinals(bar.frame.get(), "_NET_WM_STRUT_PARTIAL"), expected);
    }
  }
};

}  // namespace lumarine

QTEST_MAIN(lumarine::AppBarMngrTest)

#include "app_bar_mngr_test.moc"
