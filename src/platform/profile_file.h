#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

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
// A missing file reads as empty (every read gives its default). A file that exists but
// cannot be read also gives defaults, but no write goes through it: a write then changes
// nothing and fails, so the keys it could not see are never lost.
class ProfileFile {
 public:
  // Counts of numbered keys (feedcnt, channelcnt, ...) are read as at most this many, so a
  // damaged or hostile file cannot make a reader walk billions of keys.
  static constexpr int kMaxCount = 10000;

  // The file as read once: every read of one operation answers from it, without reading the
  // file again for each key. Same rules as the single reads below.
  class Snapshot {
   public:
    ~Snapshot();
    Snapshot(Snapshot&&) noexcept;
    Snapshot& operator=(Snapshot&&) noexcept;

    int GetInt(std::string_view section, std::string_view key, int defaultValue) const;
    std::string GetString(std::string_view section, std::string_view key,
                          std::string_view defaultValue, size_t capacity) const;
    // An integer read clamped to 0 ... kMaxCount; 0 when missing.
    int GetCount(std::string_view section, std::string_view key) const;
    // The file exists but could not be read (open or read error): every read gave its default.
    bool ReadFailed() const;

   private:
    friend class ProfileFile;
    struct Contents;
    explicit Snapshot(std::unique_ptr<Contents> contents);
    std::unique_ptr<Contents> contents_;
  };

  struct Entry {
    std::string section;
    std::string key;
    std::string value;
  };

  explicit ProfileFile(std::string path);

  Snapshot Read() const;
  // Profile text that did not come from a file (a download to check before it is kept).
  static Snapshot FromText(std::string text);

  int GetInt(std::string_view section, std::string_view key, int defaultValue) const;
  std::string GetString(std::string_view section, std::string_view key,
                        std::string_view defaultValue, size_t capacity) const;
  // False when the file could not be written (for example a missing directory).
  bool WriteString(std::string_view section, std::string_view key, std::string_view value) const;
  bool WriteInt(std::string_view section, std::string_view key, long value) const;
  // Reads the file once, asks `edits` what to write from what it read, and writes it all in
  // one replacement, with other writers of the path held off from read to write. False,
  // with nothing written, when the file could not be read or written; true when `edits`
  // wrote nothing.
  bool Update(const std::function<std::vector<Entry>(const Snapshot&)>& edits) const;

  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

// Leading decimal digits with an optional sign after leading blanks; no digits gives 0.
int ParseProfileInt(std::string_view text);

// A count as readers use it: clamped to 0 ... ProfileFile::kMaxCount.
int ClampProfileCount(int count);

}  // namespace lumarine
