#include "platform/working_set.h"

#include <sys/mman.h>

#include <charconv>
#include <fstream>
#include <sstream>
#include <string>

namespace lumarine {
namespace {

bool IsHex(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); }

// "begin-end perms offset dev inode path": the header line of one mapping, or nothing.
bool ParseHeader(std::string_view line, MappedRange& range, bool& trimmable) {
  const size_t dash = line.find('-');
  if (dash == std::string_view::npos || dash == 0 || !IsHex(line[0])) return false;
  const size_t space = line.find(' ', dash);
  if (space == std::string_view::npos) return false;
  const char* text = line.data();
  if (std::from_chars(text, text + dash, range.begin, 16).ptr != text + dash) return false;
  if (std::from_chars(text + dash + 1, text + space, range.end, 16).ptr != text + space)
    return false;
  std::istringstream fields{std::string(line.substr(space + 1))};
  std::string perms, offset, device, inode, path;
  fields >> perms >> offset >> device >> inode;
  std::getline(fields >> std::ws, path);
  // Only private, read-only mappings of a file: a file page dropped here is read back from
  // the same file, unchanged. "/dev/..." and "/memfd:..." are memory, not files on disk.
  trimmable = perms.size() == 4 && perms[0] == 'r' && perms[1] == '-' && perms[3] == 'p' &&
              inode != "0" && path.starts_with('/') && !path.starts_with("/dev/") &&
              !path.starts_with("/memfd:") && !path.ends_with(" (deleted)");
  return true;
}

}  // namespace

std::vector<MappedRange> TrimmableMappings(std::string_view smaps) {
  std::vector<MappedRange> ranges;
  MappedRange range;
  bool trimmable = false;
  auto finish = [&] {
    if (trimmable && range.end > range.begin) ranges.push_back(range);
    trimmable = false;
  };
  while (!smaps.empty()) {
    const size_t eol = smaps.find('\n');
    const std::string_view line = smaps.substr(0, eol);
    smaps.remove_prefix(eol == std::string_view::npos ? smaps.size() : eol + 1);
    MappedRange next;
    bool nextTrimmable = false;
    if (ParseHeader(line, next, nextTrimmable)) {
      finish();
      range = next;
      trimmable = nextTrimmable;
    } else if (line.starts_with("Anonymous:") &&
               line.find_first_of("123456789") != std::string_view::npos) {
      // Relocated data keeps its file name but lives in anonymous pages: paging it out would
      // mean swap, not a drop.
      trimmable = false;
    }
  }
  finish();
  return ranges;
}

std::size_t TrimWorkingSet() {
#ifdef MADV_PAGEOUT
  std::ifstream file("/proc/self/smaps");
  if (!file) return 0;
  std::ostringstream text;
  text << file.rdbuf();
  std::size_t advised = 0;
  for (const MappedRange& range : TrimmableMappings(text.str())) {
    // A kernel older than 5.4, a locked mapping or one gone since smaps was read refuses the
    // advice: nothing is lost either way.
    if (madvise(reinterpret_cast<void*>(range.begin), range.end - range.begin, MADV_PAGEOUT) == 0)
      advised += range.end - range.begin;
  }
  return advised;
#else
  return 0;
#endif
}

}  // namespace lumarine
