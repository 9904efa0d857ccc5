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
  // Placed means moved away from the size it asked for and then still for a few looks: a
  // loaded machine's window manager may take seconds, so no fixed wait would do. After ten
  // seconds it reports what it has.
  const QRect asked = window.frameGeometry();
  QRect last;
  int stillLooks = 0;
  int looks = 0;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    const QRect r = window.frameGeometry();
    stillLooks = r == last ? stillLooks + 1 : 0;
    last = r;
    if ((r.size() == asked.size() || stillLooks < 3) && ++looks < 100) return;
    poll.stop();
    std::printf("%d %d %d %d %d\n", r.x(), r.y(), r.width(), r.height(), window.geometry().x());
    std::fflush(stdout);
    QTimer::singleShot(stay * 1000, qApp, &QApplication::quit);
  });
  poll.start(100);
  return QApplication::exec();
}
