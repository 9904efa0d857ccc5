#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace lumarine {

// One mapping of the process, as /proc/<pid>/smaps gives it: [begin, end).
struct MappedRange {
  std::uintptr_t begin = 0;
  std::uintptr_t end = 0;
};

// The mappings whose resident pages can be handed back without loss: private, read-only
// mappings of regular files (the code and constant data of the program and its libraries)
// holding no anonymous page. Writable mappings, shared memory, relocated data and anything
// not backed by a file on disk are left out. `smaps` is the text of /proc/<pid>/smaps.
std::vector<MappedRange> TrimmableMappings(std::string_view smaps);

// Hands the pages of the trimmable mappings that only this process maps back to the system
// (MADV_PAGEOUT). Start-up touches far more code than an idle bar runs; what is still used is
// read back from the file at its next touch, and pages other processes map stay where they
// are. Returns the bytes of the mappings advised: 0 where the system cannot do it.
std::size_t TrimWorkingSet();

}  // namespace lumarine
