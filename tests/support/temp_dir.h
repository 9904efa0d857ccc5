#pragma once

#include <string>

namespace lumarine::test {

// A fresh directory under /tmp, removed with everything in it on destruction.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

  void Write(const std::string& name, const std::string& bytes) const;
  std::string Read(const std::string& name) const;

 private:
  std::string path_;
};

// A temporary program directory with an empty profile/ below it, made the program's
// directory for as long as it lives.
class ScopedProgramDirectory {
 public:
  ScopedProgramDirectory();
  ~ScopedProgramDirectory();

  const std::string& Path() const { return dir_.Path(); }
  std::string Profile(const std::string& name) const { return dir_.File("profile/" + name); }
  void WriteProfile(const std::string& name, const std::string& bytes) const {
    dir_.Write("profile/" + name, bytes);
  }
  std::string ReadProfile(const std::string& name) const { return dir_.Read("profile/" + name); }

 private:
  TempDir dir_;
};

std::string ReadFileBytes(const std::string& path);

}  // namespace lumarine::test
