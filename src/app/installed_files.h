#pragma once

#include <string>

#include "platform/paths.h"

namespace lumarine {

// First start of an installed program: makes the profile and cache directories and seeds
// them from the installed defaults.
class InstalledFiles {
 public:
  // Seeds what is absent: the channel catalogue and an empty subscription file into
  // profile/, and news.mdb (made from the installed schema) into the data directory. A file
  // already there is never replaced. Does nothing for a program whose files live beside it.
  // False, with the reason in `errorText`, when something could not be made.
  static bool Prepare(const ProgramLocations& locations, const std::string& defaultsDirectory,
                      std::string& errorText);
};

}  // namespace lumarine
