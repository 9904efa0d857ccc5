#include "dialogs/new_group_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "platform/xml_safe_text.h"

namespace lumarine {

NewGroupDialog::NewGroupDialog(QWidget* parent) : QDialog(parent), nameEdit_(new QLineEdit(this)) {
  setWindowTitle(QString::fromUtf8("新建组"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QString::fromUtf8("组名："), this));
  layout->addWidget(nameEdit_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void NewGroupDialog::accept() {
  groupName = QString::fromStdString(XmlSafeText(nameEdit_->text().toStdString()));
  QDialog::accept();
}

}  // namespace lumarine
