#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;

namespace lumarine {

// Asks for the keyword of a new keyword subject. Any text is accepted, also an empty one.
class NewSubjectDialog : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kIdd = 152;

  explicit NewSubjectDialog(QWidget* parent = nullptr);

  // Valid after the dialog ended with OK.
  QString keyword;
  bool notify = false;

  void accept() override;

 private:
  QLineEdit* keywordEdit_;  // 1024
  QCheckBox* notifyCheck_;  // 1025, kept hidden
};

}  // namespace lumarine
