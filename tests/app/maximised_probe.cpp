// Shows one maximised window, waits for the window manager to place it, prints its frame
// geometry as "x y width height", then the x of its client area, and exits; with an argument
// N it stays N seconds longer, for checks made while it covers the screen.
#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const int stay = argc > 1 ? std::atoi(argv[1]) : 0;
  QWidget window;
  window.setWindowTitle("maximised probe");
  window.showMaximized();
  QTimer::singleShot(1500, &app, [&window, stay] {
    const QRect r = window.frameGeometry();
    std::printf("%d %d %d %d %d\n", r.x(), r.y(), r.width(), r.height(), window.geometry().x());
    std::fflush(stdout);
    QTimer::singleShot(stay * 1000, qApp, &QApplication::quit);
  });
  return QApplication::exec();
}
