#include "platform/profile_file.h"

#include <algorithm>
#include <climits>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/ascii_text.h"
#include "platform/file_io.h"
#include "platform/text_codec.h"

namespace lumarine {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

std::string_view Trim(std::string_view text) { return AsciiTrim(text, " \t"); }

// The file split into raw lines, with what each line means.
struct ParsedFile {
  bool exists = false;
  bool failed = false;       // could not be read: neither absent nor known
  bool utf8 = false;         // started with a UTF-8 byte-order mark
  bool crlf = true;          // line ending to use for lines the program adds
  bool finalNewline = true;  // whether the last line ended with a newline
  std::vector<std::string> lines;

  std::string Decode(std::string_view raw) const {
    return utf8 ? SanitiseUtf8(raw) : Gb18030ToUtf8(raw);
  }
  std::string Encode(std::string_view text) const {
    return utf8 ? std::string(text) : Utf8ToGb18030(text);
  }

  // Name of the section a header line opens, or nothing for other lines.
  std::optional<std::string> SectionName(const std::string& line) const {
    std::string_view text = Trim(line);
    if (text.empty() || text.front() != '[') return std::nullopt;
    text.remove_prefix(1);
    // The name runs to the line's last "]", so a name holding "]" finds the header it wrote.
    // "]" can be the trail byte of a GB18030 character: step over whole characters.
    size_t close = std::string_view::npos;
    for (size_t at = 0; at < text.size(); at += utf8 ? 1 : Gb18030CharLength(text, at))
      if (text[at] == ']') close = at;
    text = text.substr(0, std::min(close, text.size()));
    return Decode(Trim(text));
  }

  // Key and raw value of a "key=value" line.
  std::optional<std::pair<std::string, std::string_view>> KeyValue(const std::string& line) const {
    const size_t equals = line.find('=');
    if (equals == std::string::npos) return std::nullopt;
    std::string_view raw(line);
    return std::make_pair(Decode(Trim(raw.substr(0, equals))), Trim(raw.substr(equals + 1)));
  }

  // Index of the header of the first section with this name. Names are compared trimmed,
  // as headers are read, or a name ending in a blank would add a new section on every write.
  std::optional<size_t> FindSection(std::string_view section) const {
    section = Trim(section);
    for (size_t i = 0; i < lines.size(); ++i) {
      const auto name = SectionName(lines[i]);
      if (name && EqualsNoCase(*name, section)) return i;
    }
    return std::nullopt;
  }

  // One past the last line of the section whose header is at `header`.
  size_t SectionEnd(size_t header) const {
    size_t i = header + 1;
    while (i < lines.size() && !SectionName(lines[i])) ++i;
    return i;
  }

  std::optional<size_t> FindKey(std::string_view section, std::string_view key) const {
    const auto header = FindSection(section);
    if (!header) return std::nullopt;
    const size_t end = SectionEnd(*header);
    key = Trim(key);
    for (size_t i = *header + 1; i < end; ++i) {
      const auto entry = KeyValue(lines[i]);
      if (entry && EqualsNoCase(entry->first, key)) return i;
    }
    return std::nullopt;
  }

  std::optional<std::string> RawValue(std::string_view section, std::string_view key) const {
    const auto line = FindKey(section, key);
    if (!line) return std::nullopt;
    return std::string(KeyValue(lines[*line])->second);
  }
};

ParsedFile ParseText(std::string text) {
  ParsedFile file;
  file.exists = true;
  if (text.starts_with(kUtf8Bom)) {
    file.utf8 = true;
    text.erase(0, kUtf8Bom.size());
  }
  const size_t firstNewline = text.find('\n');
  file.crlf =
      firstNewline == std::string::npos || (firstNewline > 0 && text[firstNewline - 1] == '\r');
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    const bool hasNewline = end != std::string::npos;
    if (!hasNewline) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    file.lines.push_back(std::move(line));
    file.finalNewline = hasNewline;
    start = end + 1;
  }
  return file;
}

// A missing file is an empty one; a file that could not be read is marked failed, so that
// no write puts its one key in place of everything the file held.
ParsedFile ReadFile(const std::string& path) {
  FileContents contents = ReadFileContents(path);
  if (contents.Read()) return ParseText(std::move(contents.bytes));
  ParsedFile file;
  file.failed = contents.result == FileContents::Result::kFailed;
  return file;
}

std::mutex& PathMutex(const std::string& path) {
  static std::mutex registryMutex;
  static std::map<std::string, std::mutex> mutexes;
  std::lock_guard lock(registryMutex);
  return mutexes[path];
}

// A value written on one line: line breaks inside it would split the entry.
std::string OneLine(std::string_view value) {
  std::string line(value);
  for (char& c : line)
    if (c == '\r' || c == '\n') c = ' ';
  return line;
}

// Creates the section and key as needed and replaces the value.
void SetValue(ParsedFile& file, std::string_view section, std::string_view key,
              std::string_view value) {
  section = Trim(section);
  key = Trim(key);
  const std::string encodedValue = file.Encode(OneLine(value));
  if (const auto line = file.FindKey(section, key)) {
    // Keep the key as the file spells it; replace only the value.
    std::string& text = file.lines[*line];
    const std::string_view keyPart = Trim(std::string_view(text).substr(0, text.find('=')));
    text = std::string(keyPart) + "=" + encodedValue;
    return;
  }
  const std::string entry = file.Encode(OneLine(key)) + "=" + encodedValue;
  if (const auto header = file.FindSection(section)) {
    // After the section's last non-blank line.
    size_t at = file.SectionEnd(*header);
    while (at > *header + 1 && Trim(file.lines[at - 1]).empty()) --at;
    file.lines.insert(file.lines.begin() + static_cast<std::ptrdiff_t>(at), entry);
  } else {
    file.lines.push_back("[" + file.Encode(OneLine(section)) + "]");
    file.lines.push_back(entry);
  }
  file.finalNewline = true;
}

}  // namespace

int ParseProfileInt(std::string_view text) {
  text = Trim(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  long long value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') break;
    value = value * 10 + (c - '0');
    if (value > INT_MAX) {
      value = INT_MAX;
      break;
    }
  }
  return static_cast<int>(negative ? -value : value);
}

int ClampProfileCount(int count) { return std::clamp(count, 0, ProfileFile::kMaxCount); }

// The parsed file with an index from (section, key), folded as the comparison folds them,
// to the value of the first such key in the first such section.
struct ProfileFile::Snapshot::Contents {
  ParsedFile file;
  std::unordered_map<std::string, std::string> values;

  static std::string Fold(std::string_view section, std::string_view key) {
    std::string folded;
    folded.reserve(section.size() + key.size() + 1);
    for (const std::string_view part : {Trim(section), std::string_view("\0", 1), Trim(key)})
      for (char c : part) folded += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    return folded;
  }

  explicit Contents(ParsedFile parsed) : file(std::move(parsed)) {
    std::unordered_set<std::string> seenSections;
    std::optional<std::string> current;  // the section being indexed; none inside a repeat
    for (const std::string& line : file.lines) {
      if (const auto name = file.SectionName(line)) {
        current = *name;
        if (!seenSections.insert(Fold(*name, "")).second) current.reset();
        continue;
      }
      if (!current) continue;
      if (const auto entry = file.KeyValue(line))
        values.try_emplace(Fold(*current, entry->first), std::string(entry->second));
    }
  }

  const std::string* Raw(std::string_view section, std::string_view key) const {
    const auto found = values.find(Fold(section, key));
    return found == values.end() ? nullptr : &found->second;
  }
};

ProfileFile::Snapshot::Snapshot(std::unique_ptr<Contents> contents)
    : contents_(std::move(contents)) {}
ProfileFile::Snapshot::~Snapshot() = default;
ProfileFile::Snapshot::Snapshot(Snapshot&&) noexcept = default;
ProfileFile::Snapshot& ProfileFile::Snapshot::operator=(Snapshot&&) noexcept = default;

int ProfileFile::Snapshot::GetInt(std::string_view section, std::string_view key,
                                  int defaultValue) const {
  const std::string* raw = contents_->Raw(section, key);
  return raw ? ParseProfileInt(*raw) : defaultValue;
}

std::string ProfileFile::Snapshot::GetString(std::string_view section, std::string_view key,
                                             std::string_view defaultValue, size_t capacity) const {
  if (capacity == 0) return {};
  const std::string* raw = contents_->Raw(section, key);
  const std::string value = raw ? contents_->file.Decode(*raw) : std::string(defaultValue);
  return TruncateToGbBytes(value, capacity - 1);
}

int ProfileFile::Snapshot::GetCount(std::string_view section, std::string_view key) const {
  return ClampProfileCount(GetInt(section, key, 0));
}

ProfileFile::ProfileFile(std::string path) : path_(std::move(path)) {}

ProfileFile::Snapshot ProfileFile::Read() const {
  return Snapshot(std::make_unique<Snapshot::Contents>(ReadFile(path_)));
}

ProfileFile::Snapshot ProfileFile::FromText(std::string text) {
  return Snapshot(std::make_unique<Snapshot::Contents>(ParseText(std::move(text))));
}

bool ProfileFile::Snapshot::ReadFailed() const { return contents_->file.failed; }

int ProfileFile::GetInt(std::string_view section, std::string_view key, int defaultValue) const {
  const auto raw = ReadFile(path_).RawValue(section, key);
  return raw ? ParseProfileInt(*raw) : defaultValue;
}

std::string ProfileFile::GetString(std::string_view section, std::string_view key,
                                   std::string_view defaultValue, size_t capacity) const {
  if (capacity == 0) return {};
  const ParsedFile file = ReadFile(path_);
  const auto raw = file.RawValue(section, key);
  const std::string value = raw ? file.Decode(*raw) : std::string(defaultValue);
  return TruncateToGbBytes(value, capacity - 1);
}

bool ProfileFile::WriteString(std::string_view section, std::string_view key,
                              std::string_view value) const {
  return Update([&](const Snapshot&) {
    return std::vector<Entry>{{std::string(section), std::string(key), std::string(value)}};
  });
}

bool ProfileFile::Update(const std::function<std::vector<Entry>(const Snapshot&)>& edits) const {
  std::lock_guard lock(PathMutex(path_));
  Snapshot snapshot(std::make_unique<Snapshot::Contents>(ReadFile(path_)));
  if (snapshot.ReadFailed()) return false;
  const std::vector<Entry> entries = edits(snapshot);
  if (entries.empty()) return true;
  ParsedFile& file = snapshot.contents_->file;
  for (const Entry& entry : entries) SetValue(file, entry.section, entry.key, entry.value);

  const std::string newline = file.crlf ? "\r\n" : "\n";
  std::string content = file.utf8 ? std::string(kUtf8Bom) : std::string();
  for (size_t i = 0; i < file.lines.size(); ++i) {
    content += file.lines[i];
    if (i + 1 < file.lines.size() || file.finalNewline) content += newline;
  }
  return ReplaceFileContents(path_, content);
}

bool ProfileFile::WriteInt(std::string_view section, std::string_view key, long value) const {
  return WriteString(section, key, std::to_string(value));
}

}  // namespace lumarine
