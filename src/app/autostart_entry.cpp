#include "app/autostart_entry.h"

#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "platform/file_io.h"
#include "platform/paths.h"

namespace lumarine {

namespace fs = std::filesystem;

std::string AutostartEntry::FilePath() { return XdgConfigHome() + "/autostart/lumarine.desktop"; }

bool AutostartEntry::Exists() {
  std::error_code error;
  return fs::is_regular_file(FilePath(), error);
}

std::string AutostartEntry::QuoteExec(const std::string& executable) {
  // The Exec rules: inside double quotes, '"', '`', '$' and '\' take a backslash; '%' is
  // doubled as it starts a field code. The key's value escaping then doubles every '\'.
  std::string quoted = "\"";
  for (const char c : executable) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
    if (c == '%') quoted += '%';
    quoted += c;
  }
  quoted += '"';
  std::string escaped;
  for (const char c : quoted) {
    if (c == '\\') escaped += '\\';
    escaped += c;
  }
  return escaped;
}

std::string AutostartEntry::EntryText(const std::string& executable) {
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Name=Lumarine\n"
         "Name[zh_CN]=Lumarine快讯\n"
         "Comment=News bar docked at the screen edge\n"
         "Exec=" +
         QuoteExec(executable) +
         "\n"
         "Icon=org.lumarine.Lumarine\n"
         "Terminal=false\n"
         "X-GNOME-Autostart-enabled=true\n";
}

bool AutostartEntry::Write(const std::string& executable) {
  // A path with a line break would end the Exec line early and could add keys of its own.
  if (executable.empty() || executable.find_first_of("\n\r") != std::string::npos) return false;
  const fs::path file = FilePath();
  std::error_code error;
  fs::create_directories(file.parent_path(), error);
  return ReplaceFileContents(file.string(), EntryText(executable));
}

bool AutostartEntry::Remove() { return ::unlink(FilePath().c_str()) == 0 || errno == ENOENT; }

bool AutostartEntry::Set(bool enabled) { return enabled ? Write(ExecutablePath()) : Remove(); }

}  // namespace lumarine
