#include "app/about_dialog.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/bar_images.h"

namespace lumarine {

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QString::fromUtf8("关于Lumarine"));
  auto* icon = new QLabel(this);
  icon->setObjectName("icon1035");
  icon->setPixmap(QPixmap::fromImage(AppIconImage(32)));

  auto* text = new QVBoxLayout;
  for (const char* line :
       {"Lumarine", "版本：1.0", "版权所有 (C) Lumarine 的作者们，按其许可证自由分发",
        "主页：由 sysopt.ini 的 homeserver 设置给出", "联系：请通过主页上的反馈页面与我们联系"})
    text->addWidget(new QLabel(QString::fromUtf8(line), this));

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
