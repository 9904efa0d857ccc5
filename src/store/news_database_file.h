#pragma once

#include <string>

namespace lumarine {

enum class CreateDatabaseResult { kCreated, kAlreadyExists, kFailed };

// Makes a new database file at `path` from the statements in `schemaSql`. An existing file
// is never touched, and no half-made file is left at `path`. Used by the build, by the
// installed program's first start (from the installed schema), by the demo and by tests.
CreateDatabaseResult CreateNewsDatabase(const std::string& path, const std::string& schemaSql,
                                        std::string& errorText);

// Brings the indexes of an existing database file at `path` in line with `schemaSql`: an index
// the schema defines differently (or that is missing) is made anew, so a file kept from an
// older build takes the current keys. Tables and rows are left as they are. False, with
// `errorText`, when the file cannot be opened or an index cannot be made (nothing changed).
bool UpdateNewsDatabaseIndexes(const std::string& path, const std::string& schemaSql,
                               std::string& errorText);

}  // namespace lumarine
