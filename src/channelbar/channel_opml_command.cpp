#include "channelbar/channel_opml_command.h"

#include <QFileDialog>

#include "feeds/channel_opml_export.h"
#include "platform/message_box.h"

namespace lumarine {

void AskAndExportChannelsOpml(QWidget* parent) {
  const QString path = QFileDialog::getSaveFileName(
      parent, QString::fromUtf8("导出频道到OPML"), QStringLiteral("channels.opml"),
      QString::fromUtf8("OPML (*.opml *.xml);;所有文件 (*)"));
  if (path.isEmpty()) return;
  ExportChannelsOpmlFile(path.toStdString());
}

void ExportChannelsOpmlFile(const std::string& path) {
  const OpmlExportResult result = ExportChannelsOpml(path);
  if (!result.ok) {
    ShowMessageBox("无法导出OPML文件: " + result.error, "导出频道到OPML");
    return;
  }
  ShowMessageBox("已导出 " + std::to_string(result.outlines) + " 个频道和Feed", "导出频道到OPML");
}

}  // namespace lumarine
