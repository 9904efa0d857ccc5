#pragma once

#include <QDialog>

class QCheckBox;
class QTabWidget;

namespace lumarine {

// "设置": three pages of settings. Neither OK nor Cancel stores anything; each setting is
// written at once where it is changed (the start-at-login box on the first page too).
class SettingsDialog : public QDialog {
  Q_OBJECT

 public:
  explicit SettingsDialog(QWidget* parent = nullptr);

  QTabWidget* Tabs() const { return tabs_; }
  QCheckBox* AutoStartBox() const { return autoStart_; }
  QCheckBox* AutoHideBox() const { return autoHide_; }

 private:
  QTabWidget* tabs_;
  QCheckBox* autoStart_;
  QCheckBox* autoHide_;
};

}  // namespace lumarine
