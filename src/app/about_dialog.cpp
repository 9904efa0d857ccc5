#include "app/about_dialog.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <string>
#include <vector>

#include "app/command_line.h"
#include "base/bar_images.h"
#include "platform/settings.h"

namespace lumarine {

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QString::fromUtf8("关于Lumarine"));
  auto* icon = new QLabel(this);
  icon->setObjectName("icon1035");
  icon->setPixmap(QPixmap::fromImage(AppIconImage(32)));

  auto* text = new QVBoxLayout;
  std::vector<std::string> lines = {"Lumarine", "版本：" + CommandLine::Version(),
                                    "版权所有 (C) Lumarine 的作者们，按其许可证自由分发"};
  // The home page is what this installation is set to use; without one there is none.
  if (const std::string home = Settings::HomeServer(); !home.empty()) {
    lines.push_back("主页：" + home);
    lines.push_back("联系：请通过主页上的反馈页面与我们联系");
  }
  for (const std::string& line : lines)
    text->addWidget(new QLabel(QString::fromStdString(line), this));

  auto* ok = new QPushButton(QString::fromUtf8("确定"), this);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);

  auto* layout = new QGridLayout(this);
  layout->addWidget(icon, 0, 0, Qt::AlignTop);
  layout->addLayout(text, 0, 1);
  layout->addWidget(ok, 0, 2, Qt::AlignTop);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace lumarine
