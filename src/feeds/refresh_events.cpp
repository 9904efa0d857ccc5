#include "feeds/refresh_events.h"

#include <mutex>

namespace lumarine {
namespace {

std::mutex shownMutex;
std::string shownName;

}  // namespace

ManualResetEvent& ListRefreshEvent() {
  static ManualResetEvent event;
  return event;
}

ManualResetEvent& FeedRefreshEvent() {
  static ManualResetEvent event;
  return event;
}

std::string ShownChannelName() {
  std::lock_guard lock(shownMutex);
  return shownName;
}

void SetShownChannelName(std::string name) {
  std::lock_guard lock(shownMutex);
  shownName = std::move(name);
}

}  // namespace lumarine
