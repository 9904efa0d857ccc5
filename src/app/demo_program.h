#pragma once

#include <string>

namespace lumarine {

// The offline demo: a temporary program tree whose channels are the shipped sample feeds,
// read from disk, so the bar shows news without any network. The tree lives as long as
// this object.
class DemoProgram {
 public:
  DemoProgram() = default;
  ~DemoProgram();
  DemoProgram(const DemoProgram&) = delete;
  DemoProgram& operator=(const DemoProgram&) = delete;

  // Makes the tree (profile/ and news.mdb) from the installed defaults in
  // `defaultsDirectory`; false, with the reason in `errorText`, when it cannot.
  bool Create(const std::string& defaultsDirectory, std::string& errorText);
  const std::string& Directory() const { return directory_; }

 private:
  std::string directory_;
};

}  // namespace lumarine
