#pragma once

#include <optional>
#include <string>

namespace lumarine {

// Counts the rows a user has not looked at: those stored after a mark, the last row id at the
// moment the news list was last in view. Read status does not count here, since the list takes
// and marks rows read while it is out of sight too. Any thread; shows no message: a database
// that cannot be read gives an empty result.
class NewsCounter {
 public:
  // The highest row id stored; 0 for an empty table.
  static std::optional<long long> LastRowId();

  // Rows stored after `afterRowId` that the list of `channel` shows (empty: all channels).
  static std::optional<int> CountAfter(long long afterRowId, const std::string& channel);
};

}  // namespace lumarine
