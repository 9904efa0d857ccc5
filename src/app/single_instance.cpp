#include "app/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>
#include <cstdlib>
#include <filesystem>

namespace lumarine {
namespace {

constexpr int kConnectTimeoutMs = 1000;
constexpr char kShowRequest[] = "show\n";

// Held while one start decides, so two bars started at once cannot both take the socket.
class DecisionLock {
 public:
  explicit DecisionLock(const std::string& path)
      : fd_(open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600)) {
    if (fd_ >= 0) flock(fd_, LOCK_EX);
  }
  ~DecisionLock() {
    if (fd_ >= 0) close(fd_);
  }
  DecisionLock(const DecisionLock&) = delete;
  DecisionLock& operator=(const DecisionLock&) = delete;

 private:
  int fd_;
};

}  // namespace

SingleInstance::SingleInstance(const std::string& profileDirectory, QObject* parent)
    : QObject(parent), socketPath_(SocketPath(profileDirectory)) {}

SingleInstance::~SingleInstance() = default;

std::string SingleInstance::SocketPath(const std::string& profileDirectory) {
  std::error_code error;
  std::filesystem::path canonical = std::filesystem::weakly_canonical(profileDirectory, error);
  if (error) canonical = profileDirectory;
  const QByteArray digest = QCryptographicHash::hash(QByteArray::fromStdString(canonical.string()),
                                                     QCryptographicHash::Sha256)
                                .toHex()
                                .left(16);
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  // Without a runtime directory the user id keeps users of a shared /tmp apart.
  if (runtime != nullptr && runtime[0] == '/')
    return std::string(runtime) + "/lumarine-" + digest.toStdString();
  return "/tmp/lumarine-" + std::to_string(getuid()) + "-" + digest.toStdString();
}

bool SingleInstance::AskRunningBar() {
  QLocalSocket socket;
  socket.connectToServer(QString::fromStdString(socketPath_));
  if (!socket.waitForConnected(kConnectTimeoutMs)) return false;
  socket.write(kShowRequest);
  socket.waitForBytesWritten(kConnectTimeoutMs);
  // The answer tells that the bar took the request; a bar that hangs still counts as found.
  socket.waitForReadyRead(kConnectTimeoutMs);
  socket.disconnectFromServer();
  return true;
}

bool SingleInstance::Claim() {
  DecisionLock lock(socketPath_ + ".lock");
  if (AskRunningBar()) return false;
  // Nobody answers: whatever file is there was left by a bar that is gone.
  QLocalServer::removeServer(QString::fromStdString(socketPath_));
  server_ = std::make_unique<QLocalServer>();
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  connect(server_.get(), &QLocalServer::newConnection, this, &SingleInstance::OnNewConnection);
  // Failing to listen (no writable runtime directory) must not keep the bar from starting.
  server_->listen(QString::fromStdString(socketPath_));
  return true;
}

void SingleInstance::OnNewConnection() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    auto answer = [this, socket] {
      if (!socket->readAll().contains('\n')) return;
      socket->write("ok\n");
      socket->flush();
      emit ShowRequested();
    };
    connect(socket, &QLocalSocket::readyRead, this, answer);
    if (socket->bytesAvailable() > 0) answer();
  }
}

}  // namespace lumarine
