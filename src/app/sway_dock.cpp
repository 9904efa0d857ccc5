#include "app/sway_dock.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QLocalSocket>
#include <QtEndian>
#include <cstring>

namespace lumarine {
namespace {

constexpr char kMagic[] = "i3-ipc";
constexpr int kMagicLength = 6;
constexpr int kHeaderLength = kMagicLength + 8;
constexpr int kWaitMs = 1000;

bool ReadExactly(QLocalSocket& socket, char* into, qint64 length) {
  qint64 got = 0;
  while (got < length) {
    if (socket.bytesAvailable() == 0 && !socket.waitForReadyRead(kWaitMs)) return false;
    const qint64 n = socket.read(into + got, length - got);
    if (n < 0) return false;
    got += n;
  }
  return true;
}

}  // namespace

std::optional<QString> SwayDock::SocketPath() {
  const QString path = qEnvironmentVariable("SWAYSOCK");
  if (path.isEmpty()) return std::nullopt;
  return path;
}

SwayDock::SwayDock(QString socketPath) : socketPath_(std::move(socketPath)) {}

SwayDock::~SwayDock() { ReleaseStrip(); }

QByteArray SwayDock::Message(quint32 type, const QByteArray& payload) {
  QByteArray message(kMagic, kMagicLength);
  const quint32 header[2] = {static_cast<quint32>(payload.size()), type};
  message.append(reinterpret_cast<const char*>(header), sizeof header);
  return message + payload;
}

std::optional<QJsonDocument> SwayDock::Request(quint32 type, const QByteArray& payload) {
  QLocalSocket socket;
  socket.connectToServer(socketPath_);
  if (!socket.waitForConnected(kWaitMs)) return std::nullopt;
  socket.write(Message(type, payload));
  if (!socket.waitForBytesWritten(kWaitMs)) return std::nullopt;
  char header[kHeaderLength];
  if (!ReadExactly(socket, header, kHeaderLength) || std::memcmp(header, kMagic, kMagicLength) != 0)
    return std::nullopt;
  quint32 length = 0;
  std::memcpy(&length, header + kMagicLength, sizeof length);
  if (length > 16u * 1024 * 1024) return std::nullopt;  // not a compositor we understand
  QByteArray body(static_cast<qsizetype>(length), '\0');
  if (!ReadExactly(socket, body.data(), length)) return std::nullopt;
  QJsonParseError error{};
  QJsonDocument reply = QJsonDocument::fromJson(body, &error);
  if (error.error != QJsonParseError::NoError) return std::nullopt;
  return reply;
}

bool SwayDock::Run(const QString& commands) {
  const std::optional<QJsonDocument> reply = Request(kRunCommand, commands.toUtf8());
  if (!reply || !reply->isArray() || reply->array().isEmpty()) return false;
  for (const QJsonValue& result : reply->array())
    if (!result.toObject().value("success").toBool()) return false;
  return true;
}

bool SwayDock::Place(unsigned long window, bool left, int width) {
  // The focused workspace's area leaves out the compositor's own panels (layer-shell bars).
  const std::optional<QJsonDocument> workspaces = Request(kGetWorkspaces, {});
  if (!workspaces || !workspaces->isArray()) return false;
  QJsonObject area;
  for (const QJsonValue& workspace : workspaces->array())
    if (workspace.toObject().value("focused").toBool())
      area = workspace.toObject().value("rect").toObject();
  const int areaWidth = area.value("width").toInt();
  const int areaHeight = area.value("height").toInt();
  if (areaWidth <= width || areaHeight <= 0) return false;
  // A position without "absolute" counts from the workspace's corner.
  return Run(QStringLiteral("[id=%1] floating enable, sticky enable, border none, "
                            "resize set width %2 px height %3 px, move position %4 px 0 px")
                 .arg(window)
                 .arg(width)
                 .arg(areaHeight)
                 .arg(left ? 0 : areaWidth - width));
}

bool SwayDock::ReserveStrip(bool left, int reserved) {
  if (reservedWidth_ > 0 && reservedLeft_ == left && reservedWidth_ == reserved) return true;
  ReleaseStrip();
  // Added to the user's own gap and taken off again, so their setting survives the bar.
  if (!Run(QStringLiteral("gaps %1 all plus %2").arg(left ? "left" : "right").arg(reserved)))
    return false;
  reservedLeft_ = left;
  reservedWidth_ = reserved;
  return true;
}

void SwayDock::ReleaseStrip() {
  if (reservedWidth_ <= 0) return;
  Run(QStringLiteral("gaps %1 all minus %2")
          .arg(reservedLeft_ ? "left" : "right")
          .arg(reservedWidth_));
  reservedWidth_ = 0;
}

}  // namespace lumarine
