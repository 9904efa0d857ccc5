#include "app/settings_dialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>

#include "app/autostart_entry.h"
#include "platform/settings.h"

namespace lumarine {
namespace {

// Layout in dialog units; a dialog unit is 1.5 pixels.
QRect Units(int x, int y, int w, int h) {
  return QRect(x * 3 / 2, y * 3 / 2, w * 3 / 2, h * 3 / 2);
}

QWidget* CaptionPage(const char* caption) {
  auto* page = new QWidget;
  auto* label = new QLabel(QString::fromUtf8(caption), page);
  label->setGeometry(Units(5, 5, 100, 10));
  return page;
}

}  // namespace

SettingsDialog::SettingsDialog(QWidget* parent) : QDialog(parent), tabs_(new QTabWidget(this)) {
  setWindowTitle(QString::fromUtf8("设置"));
  setFixedSize(Units(0, 0, 312, 203).size());
  tabs_->setObjectName("tab1013");
  tabs_->setGeometry(Units(7, 7, 298, 171));

  auto* general = new QWidget;
  autoStart_ = new QCheckBox(QString::fromUtf8("开机自动运行"), general);
  autoStart_->setObjectName("check1019");
  autoStart_->setGeometry(Units(5, 15, 150, 10));
  // Start at login: the box shows whether the autostart entry exists and writes or removes
  // it at once, like the MAIN menu's item.
  autoStart_->setChecked(AutostartEntry::Exists());
  connect(autoStart_, &QCheckBox::toggled, this, [this](bool checked) {
    AutostartEntry::Set(checked);
    const QSignalBlocker blocker(autoStart_);
    autoStart_->setChecked(AutostartEntry::Exists());
  });
  autoHide_ = new QCheckBox(QString::fromUtf8("鼠标离开后自动隐藏"), general);
  autoHide_->setObjectName("check1020");
  autoHide_->setGeometry(Units(5, 35, 150, 10));
  // A setting the bar honours: written at once.
  notify_ = new QCheckBox(QString::fromUtf8("有新闻时通知我"), general);
  notify_->setObjectName("checkNotify");
  notify_->setGeometry(Units(5, 55, 150, 10));
  notify_->setChecked(Settings::Notify());
  connect(notify_, &QCheckBox::toggled, this, [](bool on) { Settings::SetNotify(on); });

  tabs_->addTab(general, QString::fromUtf8("常规设置"));
  tabs_->addTab(CaptionPage("专题"), QString::fromUtf8("专题设置"));
  tabs_->addTab(CaptionPage("频道"), QString::fromUtf8("频道设置"));
  tabs_->setCurrentIndex(0);

  auto* ok = new QPushButton(QString::fromUtf8("确 定"), this);
  ok->setGeometry(Units(255, 182, 50, 14));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  auto* cancel = new QPushButton(QString::fromUtf8("取 消"), this);
  cancel->setGeometry(Units(183, 182, 50, 14));
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

}  // namespace lumarine
