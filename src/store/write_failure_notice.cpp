#include "store/write_failure_notice.h"

#include <mutex>
#include <set>

#include "platform/message_box.h"
#include "store/news_database.h"

namespace lumarine {
namespace {

std::mutex noticeMutex;
std::set<std::string> reportedPaths;

}  // namespace

void WriteFailureNotice::Report(const std::string& path, const DatabaseError& error) {
  {
    std::lock_guard lock(noticeMutex);
    if (!reportedPaths.insert(path).second) return;
  }
  // Shown outside the lock: the box waits for the user, other savers must not.
  ShowMessageBox("Can not open connection:\n" + FormatComError(error));
}

void WriteFailureNotice::Clear(const std::string& path) {
  std::lock_guard lock(noticeMutex);
  reportedPaths.erase(path);
}

}  // namespace lumarine
