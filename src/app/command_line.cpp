#include "app/command_line.h"

#ifndef LUMARINE_VERSION
#define LUMARINE_VERSION "0"
#endif

namespace lumarine {

CommandLine CommandLine::Parse(const std::vector<std::string>& arguments) {
  CommandLine line;
  // Help and version win over anything else on the line, as users expect of --help.
  for (const std::string& argument : arguments) {
    if (argument == "--help" || argument == "-h") {
      line.action_ = Action::kPrintHelp;
      line.output_ = HelpText();
      return line;
    }
    if (argument == "--version") {
      line.action_ = Action::kPrintVersion;
      line.output_ = VersionText();
      return line;
    }
  }
  for (const std::string& argument : arguments) {
    if (argument == "--demo") {
      line.action_ = Action::kRunDemo;
      continue;
    }
    line.action_ = Action::kRefuse;
    line.output_ = (argument.starts_with('-') ? "lumarine: unknown option '"
                                              : "lumarine: unexpected argument '") +
                   argument + "' (see lumarine --help)\n";
    return line;
  }
  return line;
}

std::string CommandLine::HelpText() {
  return "Usage: lumarine [--demo]\n"
         "A narrow news bar docked at the left or right screen edge.\n"
         "\n"
         "  --demo     run on a temporary profile whose channels are the shipped sample feeds\n"
         "  --help     show this help and exit\n"
         "  --version  show the version and exit\n"
         "\n"
         "The bar always runs on X11 (XWayland on a Wayland session), whatever\n"
         "QT_QPA_PLATFORM says: docking at the screen edge needs it.\n"
         "\n"
         "Files: a writable profile/ beside the executable keeps everything there; otherwise\n"
         "the profile is in $XDG_CONFIG_HOME/lumarine/profile and news.mdb and subject.htm\n"
         "are in $XDG_CACHE_HOME/lumarine.\n";
}

std::string CommandLine::VersionText() { return "lumarine " + Version() + "\n"; }

std::string CommandLine::Version() { return LUMARINE_VERSION; }

}  // namespace lumarine
