#include "app/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace lumarine {

bool QtTranslations::Install(QCoreApplication& application, const QLocale& locale) {
  const QString directory = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  // "qtbase" holds the widgets' texts; "qt" is the catalogue that names every module.
  for (const char* catalogue : {"qtbase", "qt"}) {
    auto* translator = new QTranslator(&application);
    if (translator->load(locale, catalogue, "_", directory) &&
        QCoreApplication::installTranslator(translator))
      return true;
    delete translator;
  }
  return false;
}

}  // namespace lumarine
