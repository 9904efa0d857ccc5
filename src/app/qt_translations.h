#pragma once

class QCoreApplication;
class QLocale;

namespace lumarine {

// Qt's own texts (standard buttons, the file and colour dialogs) in the user's language, from
// the translations Qt ships (Debian: qt6-translations-l10n).
class QtTranslations {
 public:
  // Installs the translations for `locale` into `application`, which owns them. False when
  // Qt has none for it: Qt's texts then stay English.
  static bool Install(QCoreApplication& application, const QLocale& locale);
};

}  // namespace lumarine
