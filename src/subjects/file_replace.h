#pragma once

#include <string>
#include <string_view>

namespace lumarine {

// Writes `bytes` to a temporary file beside `path` and renames it over `path`, so readers
// see the old or the new content, never a torn file. False (and `path` untouched) on any
// failure.
bool ReplaceFileContents(const std::string& path, std::string_view bytes);

// Moves the file at `path` to `path` + `suffix`, or, when that name is taken, to the first
// free one of `path` + `suffix` + ".1", ".2", ...; an existing file is never replaced. False
// (and `path` left where it is) when no name could be taken.
bool KeepFileAside(const std::string& path, const std::string& suffix);

}  // namespace lumarine
