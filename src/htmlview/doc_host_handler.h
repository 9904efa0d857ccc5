#pragma once

#include <string>

namespace lumarine {

// The owner of an HTML view: it says how the view presents itself and receives what the page
// sends back (app: commands, completed documents, script message boxes). Called on the GUI
// thread only.
class DocHostHandler {
 public:
  explicit DocHostHandler(int showScrollBars = 0) : showScrollBars(showScrollBars) {}
  virtual ~DocHostHandler() = default;

  // A script's alert or confirm box: the page's text under the fixed caption "Caption".
  // Returns the box's answer (kIdOk, kIdCancel, ...).
  virtual int ShowMessage(const std::string& text, unsigned buttons);

  // An app:<commandId>@<argument> link of the page.
  virtual void OnAppCommand(unsigned commandId, const std::string& argument);

  // Each document of the view finished loading.
  virtual void OnDocumentReady();

  int showScrollBars;  // 0 hides the view's scroll bars
};

}  // namespace lumarine
