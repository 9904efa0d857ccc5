#pragma once

#include <string>

namespace lumarine {

// The freedesktop autostart entry that starts the bar at login:
// $XDG_CONFIG_HOME/autostart/lumarine.desktop (~/.config when unset). Its existence is the
// setting; nothing else records it. Stateless: each call looks at the file anew.
class AutostartEntry {
 public:
  static std::string FilePath();
  static bool Exists();
  // Writes the entry so that it starts `executable` (the program that asked), replacing an
  // older entry atomically. False when the file could not be written.
  static bool Write(const std::string& executable);
  static bool Remove();
  // Write(the running executable) or Remove(); false when that failed.
  static bool Set(bool enabled);

  // The entry's text, and `executable` quoted for its Exec key.
  static std::string EntryText(const std::string& executable);
  static std::string QuoteExec(const std::string& executable);
};

}  // namespace lumarine
