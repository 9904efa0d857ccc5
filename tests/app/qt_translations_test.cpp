// Qt's own texts follow the user's locale: standard buttons of message boxes and dialogs.
#include "app/qt_translations.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

namespace lumarine {

class QtTranslationsTest : public QObject {
  Q_OBJECT

 private slots:
  void aChineseDesktopGetsChineseStandardButtons() {
    QVERIFY(QtTranslations::Install(*qApp, QLocale(QLocale::Chinese, QLocale::China)));
    QMessageBox box;
    box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
    QCOMPARE(box.button(QMessageBox::Ok)->text(), QString::fromUtf8("确定"));
    QCOMPARE(box.button(QMessageBox::Cancel)->text(), QString::fromUtf8("取消"));
    QColorDialog colours;
    colours.setOption(QColorDialog::DontUseNativeDialog);
    const QDialogButtonBox* buttons = colours.findChild<QDialogButtonBox*>();
    QVERIFY(buttons);
    QCOMPARE(buttons->button(QDialogButtonBox::Cancel)->text(), QString::fromUtf8("取消"));
  }
};

}  // namespace lumarine

QTEST_MAIN(lumarine::QtTranslationsTest)
#include "qt_translations_test.moc"
