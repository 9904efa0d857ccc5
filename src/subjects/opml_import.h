#pragma once

#include <string>

namespace lumarine {

class SubjectStore;

// What an import did. On failure nothing was changed and `error` says why.
struct OpmlImportResult {
  bool ok = false;
  int subjectsAdded = 0;
  int groupsAdded = 0;
  int duplicatesSkipped = 0;
  std::string error;
};

// Adds the feeds of the OPML file at `path` to the store: every outline with an xmlUrl
// becomes a feed subject, every outline that only holds other outlines becomes a group
// (an existing group of the same name is filled rather than doubled), all at the top
// level as the file nests them. A feed whose address is already somewhere in the store is
// skipped; a feed whose title is taken beside it gets a numbered title. Outlines of our own
// export (ExportSubjectsOpml) come back as they were written: keyword subjects as keyword
// subjects (skipped where the keyword already stands beside them) and empty groups as
// groups. The whole file is read and checked before anything is added. User-interface
// thread, like the store.
OpmlImportResult ImportOpml(const std::string& path, SubjectStore& store);

}  // namespace lumarine
