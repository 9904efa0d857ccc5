// Profile files are edited by hand and replaced by downloads: any bytes must read safely, and
// a write must keep every other line.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>

#include "platform/profile_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/lumarine-fuzz-" + std::to_string(getpid()) + ".ini";
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  const lumarine::ProfileFile file(path);
  file.GetInt("channel", "channelcnt", 0);
  const std::string name = file.GetString("channel", "channel1", "x", 260);
  file.GetString(name, "feed1", "", 1024);
  file.WriteString(name, "substate", "1");
  // Names with line breaks or "]" cannot be section names; any other name takes the write.
  const bool writable = !name.empty() && name.find_first_of("\r\n]") == std::string::npos;
  if (writable && file.GetString(name, "substate", "", 10) != "1") __builtin_trap();
  std::remove(path.c_str());
  return 0;
}
