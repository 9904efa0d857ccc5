#pragma once

#include <string>
#include <string_view>

namespace lumarine {

// Directory of the running executable (no trailing "/"). Derived afresh at every call.
std::string ExecutableDirectory();

// The executable's directory followed by `tail`, e.g. ProfileFilePath("/profile/sysopt.ini").
std::string ProfileFilePath(std::string_view tail);

// Tests run from their own binaries: let them point the program directory at a temporary
// tree. An empty text restores the real executable directory.
void SetExecutableDirectoryOverride(std::string directory);

}  // namespace lumarine
