#include <cstdio>
#include <string>
#include <vector>

#include "app/bar_app.h"
#include "app/command_line.h"
#include "app/demo_program.h"
#include "app/installed_files.h"
#include "platform/paths.h"

int main(int argc, char** argv) {
  using lumarine::CommandLine;
  // Options are read before anything needs a display, so --help works on a console.
  const CommandLine line = CommandLine::Parse(std::vector<std::string>(argv + 1, argv + argc));
  if (!line.Output().empty()) {
    std::fputs(line.Output().c_str(), line.ExitStatus() == 0 ? stdout : stderr);
    return line.ExitStatus();
  }

  std::string error;
  lumarine::DemoProgram demo;
  if (line.Chosen() == CommandLine::Action::kRunDemo) {
    if (!demo.Create(lumarine::InstalledDataDirectory(), error)) {
      std::fprintf(stderr, "lumarine: %s\n", error.c_str());
      return 1;
    }
    lumarine::SetExecutableDirectoryOverride(demo.Directory());
  } else if (!lumarine::InstalledFiles::Prepare(lumarine::CurrentProgramLocations(),
                                                lumarine::InstalledDataDirectory(), error)) {
    // The bar still starts: every missing profile file reads as its defaults.
    std::fprintf(stderr, "lumarine: %s\n", error.c_str());
  }

  lumarine::BarApp app;
  return app.Run(argc, argv);
}
