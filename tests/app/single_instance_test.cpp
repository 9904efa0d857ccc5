#include "app/single_instance.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QSignalSpy>
#include <QTest>
#include <cstdio>
#include <future>

#include "support/scoped_environment.h"
#include "support/temp_dir.h"

namespace lumarine {

class SingleInstanceTest : public QObject {
  Q_OBJECT

  // A later start runs on a thread of its own, as it would in its own process, so that this
  // thread's event loop can answer it.
  static std::future<bool> ClaimLater(const std::string& profile) {
    return std::async(std::launch::async, [profile] {
      SingleInstance later(profile);
      return later.Claim();
    });
  }

  std::unique_ptr<test::TempDir> dir_;
  std::unique_ptr<test::ScopedEnvironment> runtime_;

 private slots:
  void init() {
    dir_ = std::make_unique<test::TempDir>();
    runtime_ = std::make_unique<test::ScopedEnvironment>("XDG_RUNTIME_DIR", dir_->Path());
  }
  void cleanup() {
    runtime_.reset();
    dir_.reset();
  }

  void aLaterStartOfTheSameProfileAsksTheFirstToShowItself() {
    const std::string profile = dir_->File("a/profile");
    SingleInstance first(profile);
    QVERIFY(first.Claim());
    QSignalSpy shown(&first, &SingleInstance::ShowRequested);
    std::future<bool> later = ClaimLater(profile);
    QTRY_COMPARE(shown.count(), 1);
    QVERIFY(!later.get());
    // Another profile is another bar.
    QVERIFY(ClaimLater(dir_->File("b/profile")).get());
    QCOMPARE(shown.count(), 1);
  }

  void theSocketLivesInTheRuntimeDirectoryNamedAfterTheProfile() {
    const std::string path = SingleInstance::SocketPath(dir_->File("a/profile"));
    QVERIFY(path.starts_with(dir_->Path() + "/lumarine-"));
    QCOMPARE(SingleInstance::SocketPath(dir_->File("a/../a/profile")), path);
    QVERIFY(SingleInstance::SocketPath(dir_->File("b/profile")) != path);
  }

  void aSocketLeftByAKilledBarDoesNotStopTheNextStart() {
    const std::string profile = dir_->File("a/profile");
    const std::string path = SingleInstance::SocketPath(profile);
    // What a killed bar leaves: a bound socket file that nobody listens on.
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
    QCOMPARE(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    close(fd);
    QVERIFY(access(path.c_str(), F_OK) == 0);

    SingleInstance next(profile);
    QVERIFY(next.Claim());
    QSignalSpy shown(&next, &SingleInstance::ShowRequested);
    std::future<bool> later = ClaimLater(profile);
    QTRY_COMPARE(shown.count(), 1);
    QVERIFY(!later.get());
  }
};

}  // namespace lumarine

QTEST_GUILESS_MAIN(lumarine::SingleInstanceTest)
#include "single_instance_test.moc"
