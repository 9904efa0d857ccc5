#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace lumarine {

// One Windows-style profile (INI) file, read afresh at every call and written at once.
//
// Rules: section and key names compare case-insensitively; blanks around names and values
// are trimmed; the first of duplicate sections or keys wins; lines without "=" are ignored.
// Integers are the value's leading decimal digits with an optional sign (none: 0). String
// reads keep at most capacity - 1 bytes of the GB18030 form, never cutting a character.
// The file is GB18030 text (a file that starts with a UTF-8 byte-order mark is read and
// written as UTF-8); lines the program does not touch keep their bytes (line ends follow the
// first line).
// Writes create the file, section and key, replace the file atomically and are serialised
// per path within the process. All names and values are UTF-8.
class ProfileFile {
 public:
  explicit ProfileFile(std::string path);

  int GetInt(std::string_view section, std::string_view key, int defaultValue) const;
  std::string GetString(std::string_view section, std::string_view key,
                        std::string_view defaultValue, size_t capacity) const;
  // False when the file could not be written (for example a missing directory).
  bool WriteString(std::string_view section, std::string_view key, std::string_view value) const;
  bool WriteInt(std::string_view section, std::string_view key, long value) const;

  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

// Leading decimal digits with an optional sign after leading blanks; no digits gives 0.
int ParseProfileInt(std::string_view text);

}  // namespace lumarine
