#pragma once

#include <string>

class QWidget;

namespace lumarine {

// The CHANNEL menu's OPML export: asks for a file, writes the subscribed channels to it and
// tells the user what came of it. User-interface thread.
void AskAndExportChannelsOpml(QWidget* parent);
// The same without the file dialog.
void ExportChannelsOpmlFile(const std::string& path);

}  // namespace lumarine
