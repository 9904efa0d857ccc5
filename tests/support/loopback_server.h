#pragma once

#include <httplib.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace lumarine::test {

// A cpp-httplib server on 127.0.0.1 and a free port, serving on its own thread for as long
// as it lives. Register handlers on Server() before calling Start().
class LoopbackServer {
 public:
  // A server that records nothing keeps its memory flat however many requests it serves.
  enum class Recording { kRequests, kNothing };
  explicit LoopbackServer(Recording recording = Recording::kRequests);
  ~LoopbackServer();

  httplib::Server& Server() { return server_; }
  void Start();
  int Port() const { return port_; }
  std::string Url(const std::string& path) const;

  // Every request path with its query, in arrival order (recorded before handlers run).
  std::vector<std::string> Requests() const;
  // Header values of the recorded requests, in the same order.
  std::vector<httplib::Headers> RequestHeaders() const;

 private:
  httplib::Server server_;
  std::thread thread_;
  int port_ = 0;
  mutable std::mutex mutex_;
  std::vector<std::string> requests_;
  std::vector<httplib::Headers> headers_;
};

}  // namespace lumarine::test
