#include "base/label_button.h"

#include <QApplication>
#include <QTest>

#include "base/message_ids.h"
#include "base/user_message_event.h"

namespace lumarine {
namespace {

// A panel with a plain background that records the messages its buttons post.
class PanelRecorder : public QWidget {
 public:
  PanelRecorder() {
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(0xFFEFEF));
    setPalette(palette);
    resize(200, 60);
  }
  bool event(QEvent* event) override {
    if (event->type() == static_cast<QEvent::Type>(kMsgLabelButton)) {
      const auto* message = static_cast<UserMessageEvent*>(event);
      presses.push_back({message->First(), message->Second()});
      return true;
    }
    return QWidget::event(event);
  }
  std::vector<std::pair<std::intptr_t, std::intptr_t>> presses;
};

QRgb Pixel(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }

}  // namespace

class LabelButtonTest : public QObject {
  Q_OBJECT

 private slots:
  void pressPostsItsKindToTheParent() {
    for (int kind : {0, 1, 2}) {
      PanelRecorder panel;
      auto* button = new LabelButton(&panel);
      button->SetKind(kind);
      button->setGeometry(20, 10, 12, 14);
      panel.show();
      QTest::mouseClick(button, Qt::LeftButton);
      QTRY_COMPARE(panel.presses.size(), size_t{1});
      QCOMPARE(panel.presses[0].first, std::intptr_t{0});
      QCOMPARE(panel.presses[0].second, std::intptr_t{kind});
    }
  }

  void drawsItsKindsPixels() {
    PanelRecorder panel;
    auto* menu = new LabelButton(&panel);
    menu->SetKind(LabelButton::kMenu);
    menu->setGeometry(0, 0, 12, 14);
    auto* text = new LabelButton(&panel);
    text->SetKind(LabelButton::kTextWithArrow);
    text->setGeometry(0, 20, 90, 16);
    auto* empty = new LabelButton(&panel);
    empty->setGeometry(100, 20, 90, 16);

    const QImage image = panel.grab().toImage();
    for (int y : {3, 7})
      for (const auto& [x, dy] : {std::pair{3, 0},
                                  {3, 1},
                                  {4, 1},
                                  {4, 2},
                                  {5, 2},
                                  {5, 3},
                                  {6, 2},
                                  {6, 1},
                                  {7, 1},
                                  {7, 0}})
        QCOMPARE(Pixel(image, x, y + dy), QRgb(0x000000));
    QCOMPARE(Pixel(image, 5, 4), QRgb(0xFFEFEF));
    // Empty text: nothing at all; with text the arrow stands at its fixed place.
    QCOMPARE(Pixel(image, 100 + 75, 20 + 8), QRgb(0xFFEFEF));
    text->SetText("Channel");
    const QImage withText = panel.grab().toImage();
    QCOMPARE(Pixel(withText, 72, 28), QRgb(0x7F8081));
    QCOMPARE(Pixel(withText, 78, 28), QRgb(0x7F8081));
    QCOMPARE(Pixel(withText, 75, 31), QRgb(0x7F8081));
    QCOMPARE(Pixel(withText, 75, 32), QRgb(0xC8C8C8));
    QCOMPARE(Pixel(withText, 79, 28), QRgb(0xFFEFEF));
  }

  void hoverFrameAppearsAndLeavesNoPixelsBehind() {
    PanelRecorder panel;
    auto* button = new LabelButton(&panel);
    button->SetKind(LabelButton::kPlain);
    button->setGeometry(40, 20, 16, 16);
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    const QImage before = panel.grab().toImage();

    QTest::mouseMove(&panel, QPoint(5, 5));
    QTest::mouseMove(button, QPoint(8, 8));
    QTRY_VERIFY(button->Hovering());
    const QImage hovered = panel.grab().toImage();
    for (const QPoint p : {QPoint(40, 20), QPoint(55, 20), QPoint(40, 35), QPoint(55, 35)})
      QCOMPARE(Pixel(hovered, p.x(), p.y()), QRgb(0xD2D2D2));
    QCOMPARE(Pixel(hovered, 48, 28), QRgb(0xFFEFEF));

    QTest::mouseMove(&panel, QPoint(150, 50));
    QTRY_VERIFY(!button->Hovering());
    QCOMPARE(panel.grab().toImage(), before);
  }
};

}  // namespace lumarine

QTEST_MAIN(lumarine::LabelButtonTest)

#include "label_button_test.moc"
