#include "support/temp_dir.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "platform/paths.h"

namespace lumarine::test {

TempDir::TempDir() {
  char pattern[] = "/tmp/lumarine-test-XXXXXX";
  if (!mkdtemp(pattern)) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

void TempDir::Write(const std::string& name, const std::string& bytes) const {
  const std::filesystem::path file = File(name);
  std::filesystem::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << bytes;
}

std::string TempDir::Read(const std::string& name) const { return ReadFileBytes(File(name)); }

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream buffer;
  buffer << in.rdbuf();
  return buffer.str();
}

ScopedProgramDirectory::ScopedProgramDirectory() {
  std::filesystem::create_directories(dir_.File("profile"));
  SetExecutableDirectoryOverride(dir_.Path());
}

ScopedProgramDirectory::~ScopedProgramDirectory() { SetExecutableDirectoryOverride(""); }

}  // namespace lumarine::test
