// Start at login from the MAIN popup and from the settings dialog's first page.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QMenu>
#include <QTest>

#include "app/app_bar_mngr.h"
#include "app/autostart_entry.h"
#include "app/main_frame.h"
#include "app/settings_dialog.h"
#include "base/command_ids.h"
#include "support/scoped_environment.h"
#include "support/temp_dir.h"

namespace lumarine {

class StartAtLoginTest : public QObject {
  Q_OBJECT

 private slots:
  void theMenuItemAndTheSettingsBoxWriteTheEntryAndShowWhetherItExists() {
    test::TempDir config;
    test::ScopedEnvironment configHome("XDG_CONFIG_HOME", config.Path());
    test::ScopedProgramDirectory program;
    CAppBarMngr dock;
    MainFrameHooks hooks;
    hooks.splashMilliseconds = 30000;
    CMainFrame frame(dock, hooks);
    dock.Attach(&frame, 200, true);
    QTRY_VERIFY(!dock.Sliding());
    QAction* item = frame.MenuAction(kCmdAutoStart);
    QCOMPARE(item->text(), QString("开机自动启动"));
    const auto popupChecked = [&] {
      QTest::mousePress(&frame, Qt::LeftButton, {}, QPoint(frame.width() - 25, 12));
      if (!QTest::qWaitFor([&] { return frame.MainMenu()->isVisible(); })) return false;
      frame.MainMenu()->close();
      return item->isChecked();
    };

    frame.OnCommand(kCmdAutoStart);
    const std::string text = test::ReadFileBytes(config.File("autostart/lumarine.desktop"));
    QVERIFY2(text.find("/start_at_login_test\"\n") != std::string::npos, text.c_str());
    QVERIFY(popupChecked());
    // The check mark follows the file, whoever removed it.
    std::remove(config.File("autostart/lumarine.desktop").c_str());
    QVERIFY(!popupChecked());

    SettingsDialog dialog;
    QVERIFY(!dialog.AutoStartBox()->isChecked());
    dialog.AutoStartBox()->setChecked(true);
    QVERIFY(AutostartEntry::Exists() && popupChecked());
    QVERIFY(SettingsDialog().AutoStartBox()->isChecked());
    frame.OnCommand(kCmdAutoStart);
    QVERIFY(!AutostartEntry::Exists() && !SettingsDialog().AutoStartBox()->isChecked());

    // An entry that cannot be written leaves the box clear, as the file is.
    test::ScopedEnvironment blocked("XDG_CONFIG_HOME", "/proc/lumarine-cannot-be-here");
    dialog.AutoStartBox()->setChecked(false);
    dialog.AutoStartBox()->setChecked(true);
    QVERIFY(!dialog.AutoStartBox()->isChecked());
  }
};

}  // namespace lumarine

QTEST_MAIN(lumarine::StartAtLoginTest)

#include "start_at_login_test.moc"
