#include "app/main_frame.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace lumarine {

// The frame and its web engine come up on a real (virtual) X display.
class MainFrameTest : public QObject {
  Q_OBJECT

 private slots:
  void framesTheWorkAreaAtTheLeftEdgeAndRendersItsPage() {
    CMainFrame frame;
    QSignalSpy loaded(frame.View(), &QWebEngineView::loadFinished);
    frame.Dock();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    const QRect workArea = QGuiApplication::primaryScreen()->availableGeometry();
    QCOMPARE(frame.windowTitle(), QString("Ledgewatch"));
    QCOMPARE(frame.width(), 200);
    QCOMPARE(frame.height(), workArea.height());
    QCOMPARE(frame.x(), workArea.left());
    QVERIFY(frame.windowFlags() & Qt::FramelessWindowHint);

    QVERIFY(loaded.wait(60000) || loaded.count() > 0);
    QCOMPARE(loaded.first().first().toBool(), true);
    QString heading;
    frame.View()->page()->runJavaScript("document.getElementById('name').textContent",
                                        [&heading](const QVariant& v) { heading = v.toString(); });
    QTRY_COMPARE_WITH_TIMEOUT(heading, QString::fromUtf8("Lumarine快讯"), 10000);
  }
};

}  // namespace lumarine

int main(int argc, char** argv) {
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication app(argc, argv);
  lumarine::MainFrameTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "main_frame_test.moc"
