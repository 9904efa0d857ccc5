#include "app/sway_dock.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QTest>
#include <cstring>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "support/temp_dir.h"

namespace lumarine {
namespace {

// A compositor's IPC socket on a real Unix socket: records each request and answers
// get_outputs and get_workspaces with fixed rectangles and every command with `success`.
class FakeSway {
 public:
  explicit FakeSway(const std::string& path, bool success = true) : success_(success), path_(path) {
    listener_ = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(listener_, 4);
    thread_ = std::jthread([this](std::stop_token stop) { Serve(stop); });
  }
  ~FakeSway() {
    thread_.request_stop();
    thread_.join();
    close(listener_);
    unlink(path_.c_str());
  }
  std::vector<QString> Commands() const {
    std::lock_guard lock(mutex_);
    return commands_;
  }

 private:
  void Serve(const std::stop_token& stop) {
    while (!stop.stop_requested()) {
      pollfd waiting{listener_, POLLIN, 0};
      if (poll(&waiting, 1, 20) <= 0) continue;
      const int client = accept(listener_, nullptr, nullptr);
      char header[14];
      if (recv(client, header, sizeof header, MSG_WAITALL) == sizeof header) {
        quint32 length = 0, type = 0;
        std::memcpy(&length, header + 6, 4);
        std::memcpy(&type, header + 10, 4);
        QByteArray payload(length, '\0');
        if (length > 0) recv(client, payload.data(), length, MSG_WAITALL);
        QByteArray answer;
        if (type == SwayDock::kGetOutputs)
          answer = R"([{"focused":false,"rect":{"x":0,"y":0,"width":1920,"height":1080}},
                       {"focused":true,"rect":{"x":1920,"y":0,"width":1280,"height":800}}])";
        else if (type == SwayDock::kGetWorkspaces)
          answer = R"([{"focused":true,"rect":{"x":2124,"y":32,"width":1076,"height":768}}])";
        else {
          std::lock_guard lock(mutex_);
          commands_.push_back(QString::fromUtf8(payload));
          answer = success_ ? R"([{"success":true}])" : R"([{"success":false,"error":"No match"}])";
        }
        const QByteArray message = SwayDock::Message(type, answer);
        send(client, message.data(), static_cast<size_t>(message.size()), MSG_NOSIGNAL);
      }
      close(client);
    }
  }

  bool success_;
  std::string path_;
  int listener_ = -1;
  mutable std::mutex mutex_;
  std::vector<QString> commands_;
  std::jthread thread_;
};

}  // namespace

class SwayDockTest : public QObject {
  Q_OBJECT

  std::unique_ptr<test::TempDir> dir_;
  QString Socket() const { return QString::fromStdString(dir_->Path() + "/sway.sock"); }

 private slots:
  void init() { dir_ = std::make_unique<test::TempDir>(); }
  void cleanup() { dir_.reset(); }

  void placesTheWindowAtTheFocusedOutputsEdgeAcrossTheWorkspacesRows() {
    struct Case {
      bool left;
      const char* position;
    };
    for (const Case c : {Case{true, "1920 px 32 px"}, Case{false, "3000 px 32 px"}}) {
      FakeSway sway(Socket().toStdString());
      SwayDock dock(Socket());
      QVERIFY(dock.Place(0x2a00005, c.left, 200));
      QCOMPARE(sway.Commands(),
               std::vector<QString>{QString("[id=44040197] floating enable, sticky enable, border "
                                            "none, resize set width 200 px height 768 px, move "
                                            "absolute position ") +
                                    c.position});
    }
  }

  void aRefusedOrUnreachableCompositorIsAFailure() {
    {
      FakeSway sway(Socket().toStdString(), false);
      SwayDock dock(Socket());
      QVERIFY(!dock.Place(7, true, 200));
      QVERIFY(!dock.ReserveStrip(true, 204));
      QVERIFY(!dock.StripReserved());
    }
    SwayDock nobody(Socket() + ".none");
    QVERIFY(!nobody.Place(7, true, 200));
    QVERIFY(!nobody.ReserveStrip(true, 204));
  }

  void theGapIsAddedOnceAndTakenOffAgainAtEveryEnd() {
    FakeSway sway(Socket().toStdString());
    {
      SwayDock dock(Socket());
      QVERIFY(dock.ReserveStrip(true, 204));
      QVERIFY(dock.ReserveStrip(true, 204));  // already there: not added twice
      dock.ReleaseStrip();
      dock.ReleaseStrip();  // nothing left to take off
      QVERIFY(dock.ReserveStrip(true, 204));
      QVERIFY(dock.ReserveStrip(false, 204));  // the other side: moved, not added
    }                                          // a dock that goes away gives its gap back
    QCOMPARE(sway.Commands(),
             (std::vector<QString>{"gaps left all plus 204", "gaps left all minus 204",
                                   "gaps left all plus 204", "gaps left all minus 204",
                                   "gaps right all plus 204", "gaps right all minus 204"}));
  }
};

}  // namespace lumarine

QTEST_GUILESS_MAIN(lumarine::SwayDockTest)
#include "sway_dock_test.moc"
