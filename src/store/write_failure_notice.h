#pragma once

#include <string>

namespace lumarine {

struct DatabaseError;

// A news.mdb that cannot take writes (read only, disk full) would make every feed of every
// pass fail alike; the user is told once per file instead, and again only after a write to it
// has succeeded in between. Thread-safe.
class WriteFailureNotice {
 public:
  // Shows "Can not open connection:\n" and the error, unless the failure of the file at
  // `path` has been shown already.
  static void Report(const std::string& path, const DatabaseError& error);
  // A write to `path` succeeded: a later failure is news again.
  static void Clear(const std::string& path);
};

}  // namespace lumarine
