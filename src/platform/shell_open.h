#pragma once

#include <string>

namespace lumarine {

// Opens a document or address with the desktop's default handler.
class ShellOpenService {
 public:
  virtual ~ShellOpenService() = default;
  virtual bool Open(const std::string& target) = 0;
};

// Installs the process-wide service (not owned; nullptr restores the default, which starts
// xdg-open without waiting for it). Returns the previous one.
ShellOpenService* SetShellOpenService(ShellOpenService* service);

bool ShellOpen(const std::string& target);

}  // namespace lumarine
