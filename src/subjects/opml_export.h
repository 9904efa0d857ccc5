#pragma once

#include <string>

#include "platform/opml_writer.h"

namespace lumarine {

class SubjectStore;

// Writes the store's subject tree as OPML at `path`: groups as outlines holding outlines
// (marked lumarine:folder, so an empty group comes back too), feed subjects as type="rss"
// outlines with their xmlUrl, keyword subjects with their search address as xmlUrl and the
// keyword in lumarine:keyword. ImportOpml reads the file back to the same tree. Titles are
// written as the tree shows them. User-interface thread, like the store.
OpmlExportResult ExportSubjectsOpml(const SubjectStore& store, const std::string& path);

}  // namespace lumarine
