#include "platform/process_values.h"

#include <mutex>

#include "platform/settings.h"

namespace lumarine {
namespace {

std::mutex& ValuesLock() {
  static std::mutex lock;
  return lock;
}

std::string& SearchTemplate() {
  static std::string value;
  return value;
}

}  // namespace

std::string SubjectSearchTemplate() {
  std::lock_guard lock(ValuesLock());
  if (SearchTemplate().empty()) return std::string(Settings::kGoogleNewsTemplate);
  return SearchTemplate();
}

void SetSubjectSearchTemplate(std::string value) {
  std::lock_guard lock(ValuesLock());
  SearchTemplate() = std::move(value);
}

}  // namespace lumarine
