#include "htmlview/doc_host_handler.h"

#include "platform/message_box.h"

namespace lumarine {

int DocHostHandler::ShowMessage(const std::string& text, unsigned buttons) {
  return ShowMessageBox(text, "Caption", buttons);
}

void DocHostHandler::OnAppCommand(unsigned /*commandId*/, const std::string& /*argument*/) {}

void DocHostHandler::OnDocumentReady() {}

}  // namespace lumarine
