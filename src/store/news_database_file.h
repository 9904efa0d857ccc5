#pragma once

#include <string>

namespace lumarine {

enum class CreateDatabaseResult { kCreated, kAlreadyExists, kFailed };

// Makes a new database file at `path` from the statements in `schemaSql`. An existing file
// is never touched, and no half-made file is left at `path`. Used by the build and by tests;
// the program itself only opens a file made this way.
CreateDatabaseResult CreateNewsDatabase(const std::string& path, const std::string& schemaSql,
                                        std::string& errorText);

}  // namespace lumarine
