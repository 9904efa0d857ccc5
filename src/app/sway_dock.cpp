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

bool SwayDock::Running() {
  return SocketPath() || qEnvironmentVariable("XDG_CURRENT_DESKTOP")
                             .split(':')
                             .contains("sway", Qt::CaseInsensitive);
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
  // Across: the focused output's edge. Down: the focused workspace's rows, which leave out
  // the compositor's own panels (layer-shell bars); its left and right include the gap the
  // bar keeps, so they do not tell where the edge is.
  const QJsonObject output = FocusedRect(kGetOutputs);
  const QJsonObject workspace = FocusedRect(kGetWorkspaces);
  const int outputWidth = output.value("width").toInt();
  const int height = workspace.value("height").toInt();
  if (outputWidth <= width || height <= 0) return false;
  const int x = output.value("x").toInt() + (left ? 0 : outputWidth - width);
  return Run(QStringLiteral("[id=%1] floating enable, sticky enable, border none, "
                            "resize set width %2 px height %3 px, "
                            "move absolute position %4 px %5 px")
                 .arg(window)
                 .arg(width)
                 .arg(height)
                 .arg(x)
                 .arg(workspace.value("y").toInt()));
}

QJsonObject SwayDock::FocusedRect(quint32 type) {
  const std::optional<QJsonDocument> reply = Request(type, {});
  if (!reply || !reply->isArray()) return {};
  for (const QJsonValue& item : reply->array())
    if (item.toObject().value("focused").toBool()) return item.toObject().value("rect").toObject();
  return {};
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
