#pragma once

#include <string>
#include <string_view>

namespace lumarine {

// Writes `bytes` to a temporary file beside `path` and renames it over `path`, so readers
// see the old or the new content, never a torn file. False (and `path` untouched) on any
// failure.
bool ReplaceFileContents(const std::string& path, std::string_view bytes);

}  // namespace lumarine
