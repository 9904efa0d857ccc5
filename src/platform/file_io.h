#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace lumarine {

// The one way the program replaces a file: `bytes` go to a temporary file beside `path`
// (through a symbolic link, beside the file it names), written in full, flushed to disk,
// closed with its error checked, renamed over `path`, and the directory flushed so the
// rename survives a crash. Readers see the old or the new content, never a torn or empty
// file. False on any failure, with the temporary file removed and `path` untouched.
bool ReplaceFileContents(const std::string& path, std::string_view bytes);

// Moves the file at `path` to `path` + `suffix`, or, when that name is taken, to the first
// free one of `path` + `suffix` + ".1", ".2", ...; an existing file is never replaced. False
// (and `path` left where it is) when no name could be taken.
bool KeepFileAside(const std::string& path, const std::string& suffix);

// Whether a path names something. Only "no such file" is absent: any other error (an I/O
// error, no permission, no free descriptors) is unknown, and callers leave the path alone.
enum class FileState { kPresent, kAbsent, kUnknown };
FileState ProbeFile(const std::string& path);

// A whole regular file read with plain system calls. kAbsent only for "no such file";
// every other failure (open or read error, not a regular file, larger than `maxBytes`) is
// kFailed, never an empty file.
struct FileContents {
  enum class Result { kRead, kAbsent, kFailed };
  Result result = Result::kFailed;
  std::string bytes;

  bool Read() const { return result == Result::kRead; }
};
inline constexpr size_t kMaxReadBytes = 64u << 20;
FileContents ReadFileContents(const std::string& path, size_t maxBytes = kMaxReadBytes);

// Removes the temporary files a replacement left in `directory` when a process died between
// writing and renaming: files of this program's temporary naming last changed before this
// process started, whose names start with `prefix`. Returns how many went.
size_t RemoveStaleTemporaryFiles(const std::string& directory, std::string_view prefix = {});

}  // namespace lumarine
