// Saves a screenshot of one X11 window as PNG: grab_window WINDOW_ID OUT.png
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <cstdio>

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "xcb");
  QGuiApplication application(argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: grab_window WINDOW_ID OUT.png\n");
    return 2;
  }
  bool ok = false;
  const WId window = QString(argv[1]).toULongLong(&ok, 0);
  if (!ok) return 2;
  const QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(window);
  return !shot.isNull() && shot.save(argv[2], "PNG") ? 0 : 1;
}
