#pragma once

#include <QDialog>
#include <thread>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace lumarine {

// Asks for a feed address and checks that it delivers a feed before taking its title. OK is
// two-stage: the first press checks the feed (off the GUI thread, so the window stays
// responsive), the next press closes with the title, which must not be empty.
class NewFeedSubjectDialog : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kIdd = 153;

  explicit NewFeedSubjectDialog(QWidget* parent = nullptr);
  ~NewFeedSubjectDialog() override;

  // Valid after the dialog ended with OK.
  QString address;
  QString title;

  bool IsValidated() const { return validated_; }
  bool IsChecking() const { return checking_; }
  QString StatusText() const;

  void accept() override;

 signals:
  void CheckFinished(bool valid);

 private:
  void StartCheck();
  void FinishCheck(bool valid, const QString& feedTitle, const QString& feedAddress,
                   const QString& health);

  QLineEdit* addressEdit_;  // 1026
  QLineEdit* titleEdit_;    // 1029
  QLabel* status_;          // 1028
  QCheckBox* verifyCheck_;  // 1027, kept hidden
  QPushButton* okButton_;
  bool validated_ = false;
  bool checking_ = false;
  std::jthread checker_;
};

// The clipboard's text, or empty when it holds none.
QString ReadClipboardText();

}  // namespace lumarine
