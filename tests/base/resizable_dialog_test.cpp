#include "base/resizable_dialog.h"

#include <QApplication>
#include <QLabel>
#include <QTest>

#include "platform/settings.h"
#include "support/temp_dir.h"

namespace lumarine {
namespace {

class Panel : public ResizableDialog {
 public:
  explicit Panel(Qt::WindowFlags flags = {}) : ResizableDialog(nullptr, flags) {
    resize(200, 300);
    child = new QLabel("x", this);
    child->setGeometry(20, 30, 101, 50);  // 100 wide once the inner pixel is given up
    InitDialog();
  }
  QLabel* child;
};

}  // namespace

class ResizableDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void anchoredChildrenFollowTheirPointsOnResize() {
    struct Case {
      AnchorPoint topLeft;
      AnchorPoint bottomRight;
      QRect after;  // at 300 x 500, from 20,30 100 x 50 at 200 x 300
    };
    const Case cases[] = {
        {kTopLeft, kNoAnchor, QRect(20, 30, 100, 50)},
        {kTopLeft, kBottomRight, QRect(20, 30, 200, 250)},
        {kTopRight, kNoAnchor, QRect(120, 30, 100, 50)},
        {kBottomLeft, kBottomRight, QRect(20, 230, 200, 50)},
        {kMiddleCenter, kNoAnchor, QRect(70, 130, 100, 50)},
        {kTopLeft, kBottomCenter, QRect(20, 30, 150, 250)},
    };
    for (const Case& c : cases) {
      Panel panel;
      panel.AddAnchor(panel.child, c.topLeft, c.bottomRight);
      panel.show();  // a hidden widget gets its resize only when shown
      panel.resize(300, 500);
      QCOMPARE(panel.child->geometry(), c.after);
      panel.resize(200, 300);
      QCOMPARE(panel.child->geometry(), QRect(20, 30, 100, 50));
    }
  }

  void gripSitsInTheBottomRightCornerAndCanBeHidden() {
    Panel panel;
    panel.show();
    const QRect grip = panel.GripRect();
    QCOMPARE(grip.bottomRight(), QPoint(199, 299));
    QVERIFY(grip.width() > 0 && grip.width() == grip.height());
    panel.resize(250, 350);
    QCOMPARE(panel.GripRect().bottomRight(), QPoint(249, 349));
    panel.ShowSizeGrip(false);
    QVERIFY(!panel.SizeGripShown());
  }

  void windowKeepsItsInitialSizeAsMinimumAndSavesItsPlacement() {
    test::ScopedProgramDirectory program;
    {
      Panel window(Qt::Window);
      QCOMPARE(window.minimumSize(), QSize(200, 300));
      window.EnableSaveRestore("panel", "placement");
      window.setGeometry(30, 40, 260, 320);
    }
    QCOMPARE(Settings::ReadString("panel", "placement", "", 100), std::string("30,40,290,360,1,0"));
    Panel restored(Qt::Window);
    restored.EnableSaveRestore("panel", "placement");
    QCOMPARE(restored.geometry(), QRect(30, 40, 260, 320));

    Settings::Write("panel", "placement", "1,2,3");
    Panel ignored(Qt::Window);
    const QRect before = ignored.geometry();
    ignored.EnableSaveRestore("panel", "placement");
    QCOMPARE(ignored.geometry(), before);
  }
};

}  // namespace lumarine

QTEST_MAIN(lumarine::ResizableDialogTest)

#include "resizable_dialog_test.moc"
