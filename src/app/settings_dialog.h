#pragma once

#include <QDialog>

class QCheckBox;
class QTabWidget;

namespace lumarine {

// "设置": three pages, mostly of future settings. Neither OK nor Cancel stores anything; the
// settings the bar honours are changed where they are used, or written as their box changes
// (the start-at-login and notification boxes on the first page).
class SettingsDialog : public QDialog {
  Q_OBJECT

 public:
  explicit SettingsDialog(QWidget* parent = nullptr);

  QTabWidget* Tabs() const { return tabs_; }
  QCheckBox* AutoStartBox() const { return autoStart_; }
  QCheckBox* AutoHideBox() const { return autoHide_; }
  QCheckBox* NotifyBox() const { return notify_; }

 private:
  QTabWidget* tabs_;
  QCheckBox* autoStart_;
  QCheckBox* autoHide_;
  QCheckBox* notify_;
};

}  // namespace lumarine
