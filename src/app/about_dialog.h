#pragma once

#include <QDialog>

namespace lumarine {

// "关于Lumarine": icon, product name, version and three lines about the program.
class AboutDialog : public QDialog {
  Q_OBJECT

 public:
  explicit AboutDialog(QWidget* parent = nullptr);
};

}  // namespace lumarine
