// Shows one maximised window, waits for the window manager to place it, prints its frame
// geometry as "x y width height", then the x of its client area, and exits.
#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <cstdio>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window;
  window.setWindowTitle("maximised probe");
  window.showMaximized();
  QTimer::singleShot(1500, &app, [&window] {
    const QRect r = window.frameGeometry();
    std::printf("%d %d %d %d %d\n", r.x(), r.y(), r.width(), r.height(), window.geometry().x());
    std::fflush(stdout);
    QApplication::quit();
  });
  return QApplication::exec();
}
