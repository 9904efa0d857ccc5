// A loopback news site for whole-program runs and benchmarks: serves numbered RSS 2.0 feeds, a
// keyword search that answers in RSS, and the home server's report addresses, and logs every
// request line. Runs until SIGINT or SIGTERM.
//   feed_farm --port-file FILE --log FILE [--items N] [--dir DIR]
// With --dir, the files of DIR are served under /demo/.
#include <httplib.h>
#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>

#include "platform/html_text.h"
#include "support/loopback_server.h"

namespace {

std::string Feed(const std::string& name, const std::string& titlePrefix, int items) {
  std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<rss version=\"2.0\"><channel>";
  xml += "<title>" + lumarine::HtmlEscape(name) + "</title><link>http://news.example/</link>";
  for (int k = 1; k <= items; ++k) {
    const std::string id = std::to_string(k);
    xml += "<item><title>" + lumarine::HtmlEscape(titlePrefix) + " 第" + id +
           "条</title><link>http://news.example/" + lumarine::HtmlEscape(name) + "/" + id +
           "</link><description>" + lumarine::HtmlEscape(titlePrefix) + " 的第" + id +
           "条新闻内容。</description><pubDate>Tue, 08 Dec 2026 08:00:00 GMT</pubDate></item>";
  }
  return xml + "</channel></rss>\n";
}

}  // namespace

int main(int argc, char** argv) {
  std::string portFile, logFile, directory;
  int items = 5;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string flag = argv[i];
    if (flag == "--port-file")
      portFile = argv[i + 1];
    else if (flag == "--log")
      logFile = argv[i + 1];
    else if (flag == "--dir")
      directory = argv[i + 1];
    else if (flag == "--items")
      items = std::atoi(argv[i + 1]);
  }
  if (portFile.empty() || logFile.empty()) {
    std::fprintf(stderr, "usage: feed_farm --port-file FILE --log FILE [--items N] [--dir DIR]\n");
    return 2;
  }
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);  // inherited by the server threads

  std::mutex logMutex;
  std::ofstream log(logFile, std::ios::app);
  lumarine::test::LoopbackServer site;
  httplib::Server& server = site.Server();
  server.set_logger([&](const httplib::Request& request, const httplib::Response& response) {
    std::lock_guard lock(logMutex);
    log << request.method << ' ' << request.target << ' ' << response.status << std::endl;
  });
  server.Get(R"(/feed/([\w-]+))",
             [items](const httplib::Request& request, httplib::Response& response) {
               const std::string name = request.matches[1];
               response.set_content(Feed(name, "Feed " + name, items), "text/xml; charset=utf-8");
             });
  server.Get("/search", [items](const httplib::Request& request, httplib::Response& response) {
    const std::string query = request.get_param_value("q");
    response.set_content(Feed("search", query, items), "text/xml; charset=utf-8");
  });
  server.Get(R"(/channel/recommend\d\.asp)",
             [](const httplib::Request&, httplib::Response& response) {
               response.set_content(Feed("recommend", "推荐", 2), "text/xml; charset=utf-8");
             });
  // Reports are answered; the update files are absent, so nothing gets replaced.
  server.Get(R"(/tongji/.*)", [](const httplib::Request&, httplib::Response& response) {
    response.set_content("ok", "text/plain");
  });
  if (!directory.empty() && !server.set_mount_point("/demo", directory)) {
    std::fprintf(stderr, "feed_farm: cannot serve %s\n", directory.c_str());
    return 1;
  }
  server.set_file_extension_and_mimetype_mapping("xml", "text/xml");
  site.Start();
  {
    std::ofstream out(portFile + ".tmp");
    out << site.Port() << '\n';
  }
  std::rename((portFile + ".tmp").c_str(), portFile.c_str());
  int received = 0;
  sigwait(&signals, &received);
  return 0;
}
