// Build tool: make_app_icons DIR
// Writes icon 128 as DIR/<n>x<n>/apps/org.lumarine.Lumarine.png at the usual theme sizes,
// for the desktop's icon theme (hicolor).
#include <QDir>
#include <QImage>
#include <cstdio>

#include "base/bar_images.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
    return 2;
  }
  for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
    const QString directory =
        QString("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[1])).arg(size);
    if (!QDir().mkpath(directory) ||
        !lumarine::AppIconImage(size).save(directory + "/org.lumarine.Lumarine.png")) {
      std::fprintf(stderr, "%s: cannot write %s\n", argv[0], qPrintable(directory));
      return 1;
    }
  }
  return 0;
}
