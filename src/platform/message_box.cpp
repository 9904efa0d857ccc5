#include "platform/message_box.h"

#include <atomic>
#include <cstdio>

namespace lumarine {
namespace {

std::atomic<MessageBoxService*> installedService{nullptr};

}  // namespace

MessageBoxService* SetMessageBoxService(MessageBoxService* service) {
  return installedService.exchange(service);
}

int ShowMessageBox(const std::string& text, const std::string& caption, unsigned buttons) {
  if (MessageBoxService* service = installedService.load())
    return service->Show(text, caption, buttons);
  std::fprintf(stderr, "%s%s%s\n", caption.c_str(), caption.empty() ? "" : ": ", text.c_str());
  return buttons == kMbYesNo ? kIdYes : kIdOk;
}

}  // namespace lumarine
