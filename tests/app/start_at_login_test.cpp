// Start at login from the MAIN popup and from the settings dialog's first page.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QMenu>
#include <QTest>

#include "app/app_bar_mngr.h"
#include "app/autostart_entry.h"
#include "app/command_ids.h"
#include "app/main_frame.h"
#include "app/settings_dialog.h"
#include "support/scoped_environment.h"
#include "support/temp_dir.h"

namespace lumarine {

class StartAtLoginTest : public QObject {
  Q_OBJECT

  std::unique_ptr<test::TempDir> config_;
  std::unique_ptr<test::ScopedEnvironment> configHome_;
  std::unique_ptr<test::ScopedProgramDirectory> program_;

  std::string EntryPath() const { return config_->File("autostart/lumarine.desktop"); }

 private slots:
  void init() {
    config_ = std::make_unique<test::TempDir>();
    configHome_ = std::make_unique<test::ScopedEnvironment>("XDG_CONFIG_HOME", config_->Path());
    program_ = std::make_unique<test::ScopedProgramDirectory>();
  }
  void cleanup() {
    program_.reset();
    configHome_.reset();
    config_.reset();
  }

  void theMainPopupItemWritesAndRemovesTheEntryAndShowsWhetherItExists() {
    CAppBarMngr dock;
    MainFrameHooks hooks;
    hooks.splashMilliseconds = 30000;
    CMainFrame frame(dock, hooks);
    dock.Attach(&frame, 200, true);
    QTRY_VERIFY(!dock.Sliding());
    QAction* item = frame.MenuAction(kCmdAutoStart);
    QVERIFY(item && item->isCheckable());
    QCOMPARE(item->text(), QString("开机自动启动"));
    const QList<QAction*> entries = frame.MainMenu()->actions();
    QCOMPARE(entries.indexOf(item), entries.indexOf(frame.MenuAction(kCmdAutoHide)) + 1);

    frame.OnCommand(kCmdAutoStart);
    QVERIFY(AutostartEntry::Exists());
    const std::string text = test::ReadFileBytes(EntryPath());
    QVERIFY2(text.find("/start_at_login_test\"\n") != std::string::npos, text.c_str());

    // The check mark is read from the file each time the popup opens.
    QTest::mousePress(&frame, Qt::LeftButton, {}, QPoint(frame.width() - 25, 12));
    QTRY_VERIFY(frame.MainMenu()->isVisible());
    QVERIFY(item->isChecked());
    frame.MainMenu()->close();
    std::remove(EntryPath().c_str());
    QTest::mousePress(&frame, Qt::LeftButton, {}, QPoint(frame.width() - 25, 12));
    QTRY_VERIFY(frame.MainMenu()->isVisible());
    QVERIFY(!item->isChecked());
    frame.MainMenu()->close();

    frame.OnCommand(kCmdAutoStart);
    frame.OnCommand(kCmdAutoStart);
    QVERIFY(!AutostartEntry::Exists());
  }

  void theSettingsBoxShowsTheEntryAndChangesItAtOnce() {
    {
      SettingsDialog dialog;
      QVERIFY(!dialog.AutoStartBox()->isChecked());
      dialog.AutoStartBox()->setChecked(true);
      QVERIFY(AutostartEntry::Exists());
      dialog.reject();
    }
    SettingsDialog reopened;
    QVERIFY(reopened.AutoStartBox()->isChecked());
    reopened.AutoStartBox()->setChecked(false);
    QVERIFY(!AutostartEntry::Exists());

    // An entry that cannot be written leaves the box clear, as the file is.
    test::ScopedEnvironment blocked("XDG_CONFIG_HOME", "/proc/lumarine-cannot-be-here");
    reopened.AutoStartBox()->setChecked(true);
    QVERIFY(!reopened.AutoStartBox()->isChecked());
  }
};

}  // namespace lumarine

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "xcb");
  QApplication app(argc, argv);
  lumarine::StartAtLoginTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "start_at_login_test.moc"
