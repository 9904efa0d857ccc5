#include "support/loopback_server.h"

#include <stdexcept>

namespace lumarine::test {

LoopbackServer::LoopbackServer(Recording recording) {
  if (recording == Recording::kNothing) return;
  server_.set_pre_routing_handler([this](const httplib::Request& request, httplib::Response&) {
    std::string target = request.path;
    if (!request.params.empty()) {
      // Keep the raw query so tests can check exact escaping.
      const size_t query = request.target.find('?');
      if (query != std::string::npos) target += request.target.substr(query);
    }
    std::lock_guard lock(mutex_);
    requests_.push_back(target);
    headers_.push_back(request.headers);
    return httplib::Server::HandlerResponse::Unhandled;
  });
}

LoopbackServer::~LoopbackServer() {
  server_.stop();
  if (thread_.joinable()) thread_.join();
}

void LoopbackServer::Start() {
  port_ = server_.bind_to_any_port("127.0.0.1");
  if (port_ <= 0) throw std::runtime_error("cannot bind a loopback port");
  thread_ = std::thread([this] { server_.listen_after_bind(); });
  while (!server_.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

std::string LoopbackServer::Url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::vector<std::string> LoopbackServer::Requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

std::vector<httplib::Headers> LoopbackServer::RequestHeaders() const {
  std::lock_guard lock(mutex_);
  return headers_;
}

}  // namespace lumarine::test
