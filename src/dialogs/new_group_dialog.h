#pragma once

#include <QDialog>

class QLineEdit;

namespace lumarine {

// Asks for the name of a new subject group. Any text is accepted, also an empty one.
class NewGroupDialog : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kIdd = 154;

  explicit NewGroupDialog(QWidget* parent = nullptr);

  QString groupName;  // valid after OK

  void accept() override;

 private:
  QLineEdit* nameEdit_;  // 1030
};

}  // namespace lumarine
