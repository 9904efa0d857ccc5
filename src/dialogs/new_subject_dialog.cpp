#include "dialogs/new_subject_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "platform/xml_safe_text.h"

namespace lumarine {

NewSubjectDialog::NewSubjectDialog(QWidget* parent)
    : QDialog(parent),
      keywordEdit_(new QLineEdit(this)),
      notifyCheck_(new QCheckBox(QString::fromUtf8("有最新消息提醒我"), this)) {
  setWindowTitle(QString::fromUtf8("新建专题"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(
      new QLabel(QString::fromUtf8("Lumarine会根据您的关键词搜集信息生成专题"), this));
  layout->addWidget(new QLabel(QString::fromUtf8("请输入关键词(如 Tamsel)："), this));
  layout->addWidget(keywordEdit_);
  layout->addWidget(notifyCheck_);
  notifyCheck_->setVisible(false);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  keywordEdit_->setFocus();
}

void NewSubjectDialog::accept() {
  keyword = QString::fromStdString(XmlSafeText(keywordEdit_->text().toStdString()));
  notify = notifyCheck_->isChecked();
  QDialog::accept();
}

}  // namespace lumarine
