#include "app/gui_message_box.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <future>
#include <thread>

namespace lumarine {

// Messages from worker threads: shown on the GUI thread, answered, and never able to hold up
// the exit.
class GuiMessageBoxTest : public QObject {
  Q_OBJECT

  // Presses the button with `text` on the first message box that appears.
  static void AnswerNextBox(const QString& text, QString* shownText) {
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, text, shownText] {
      for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(widget);
        if (!box || !box->isVisible()) continue;
        *shownText = box->windowTitle() + "|" + box->text();
        for (QAbstractButton* button : box->buttons())
          if (button->text().remove('&') == text) button->click();
        timer->deleteLater();
        return;
      }
    });
    timer->start(20);
  }

 private slots:
  void workerGetsTheAnswerGivenOnTheGuiThread() {
    GuiMessageBox service;
    QString shown;
    AnswerNextBox("No", &shown);
    auto answer = std::async(std::launch::async,
                             [] { return ShowMessageBox("是否删除?", "删除", kMbYesNo); });
    QTRY_VERIFY_WITH_TIMEOUT(answer.wait_for(std::chrono::seconds(0)) == std::future_status::ready,
                             10000);
    QCOMPARE(answer.get(), static_cast<int>(kIdNo));
    QCOMPARE(shown, QString("删除|是否删除?"));
  }

  void aWorkerReportingAnErrorGoesOnWhileTheBoxIsShown() {
    GuiMessageBox service;
    QString shown;
    // The event loop is not running: a waiting worker would hang here.
    auto report = std::async(std::launch::async, [] { return ShowMessageBox("error!!!"); });
    QVERIFY(report.wait_for(std::chrono::seconds(5)) == std::future_status::ready);
    QCOMPARE(report.get(), static_cast<int>(kIdOk));
    // Repeated while the first is waiting: one box, not a pile of them.
    for (int i = 0; i < 5; ++i)
      std::async(std::launch::async, [] { return ShowMessageBox("error!!!"); }).wait();
    int boxes = 0;
    QTimer answerer;  // answers every box that appears, and counts them
    connect(&answerer, &QTimer::timeout, [&] {
      for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(widget);
        if (!box || !box->isVisible()) continue;
        shown = box->windowTitle() + "|" + box->text();
        ++boxes;
        box->button(QMessageBox::Ok)->click();
      }
    });
    answerer.start(20);
    QTRY_COMPARE_WITH_TIMEOUT(shown, QString("Lumarine|error!!!"), 10000);
    QTest::qWait(500);
    QCOMPARE(boxes, 1);
    // Once it is closed, the same report may be shown again.
    std::async(std::launch::async, [] { return ShowMessageBox("error!!!"); }).wait();
    QTRY_COMPARE_WITH_TIMEOUT(boxes, 2, 10000);
  }

  void shutdownReleasesAWaitingWorkerAndLaterOnesOnlyLog() {
    auto service = std::make_unique<GuiMessageBox>();
    // Nobody answers: the event loop is not running while the worker waits.
    auto waiting =
        std::async(std::launch::async, [] { return ShowMessageBox("x", "", kMbOkCancel); });
    QVERIFY(waiting.wait_for(std::chrono::milliseconds(100)) == std::future_status::timeout);
    service->Shutdown();
    QVERIFY(waiting.wait_for(std::chrono::seconds(5)) == std::future_status::ready);
    QCOMPARE(waiting.get(), static_cast<int>(kIdCancel));
    auto later = std::async(std::launch::async, [] { return ShowMessageBox("y", "", kMbYesNo); });
    QVERIFY(later.wait_for(std::chrono::seconds(5)) == std::future_status::ready);
    QCOMPARE(later.get(), static_cast<int>(kIdNo));
    service.reset();
    // The queued box of the released worker must not appear afterwards.
    QTest::qWait(100);
    for (QWidget* widget : QApplication::topLevelWidgets())
      QVERIFY(!qobject_cast<QMessageBox*>(widget) || !widget->isVisible());
  }
};

}  // namespace lumarine

QTEST_MAIN(lumarine::GuiMessageBoxTest)

#include "gui_message_box_test.moc"
