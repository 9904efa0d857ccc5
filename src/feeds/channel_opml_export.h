#pragma once

#include <string>

#include "platform/opml_writer.h"

namespace lumarine {

// Writes the subscribed channels as OPML at `path`: one outline per channel (a channel
// listed twice is written once) holding a type="rss" outline for each of its enabled feeds,
// as the next start would fetch them. Reads the profile files; any thread.
OpmlExportResult ExportChannelsOpml(const std::string& path);

}  // namespace lumarine
