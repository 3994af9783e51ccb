#include "ui/app/single_instance.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <algorithm>
#include <cerrno>
#include <cstring>

#include "core/log/logger.hpp"

namespace parvel {

namespace {

constexpr int request_wait_ms = 2000;
constexpr char show_word[] = "show";
// Far beyond the tokens compositors hand out; a longer line is no request.
constexpr qsizetype max_token_size = 1024;
constexpr qsizetype max_request_size = max_token_size + 16;

}  // namespace

QByteArray show_request(const QString& activation_token) {
  QByteArray request(show_word);
  if (!activation_token.isEmpty()) {
    request += ' ' + activation_token.toUtf8();
  }
  return request + '\n';
}

QString activation_token_of(const QByteArray& request) {
  QByteArray line = request;
  if (line.endsWith('\n')) {
    line.chop(1);
  }
  const QByteArray prefix = QByteArray(show_word) + ' ';
  if (!line.startsWith(prefix)) {
    return {};
  }
  const QByteArray token = line.mid(prefix.size());
  const bool printable =
      std::all_of(token.begin(), token.end(), [](char c) { return c > ' ' && c < '\x7f'; });
  if (token.isEmpty() || token.size() > max_token_size || !printable) {
    return {};
  }
  return QString::fromLatin1(token);
}

std::vector<single_instance_paths> instance_places(const QString& name,
                                                   const QString& runtime_folder,
                                                   const QString& private_temp_folder) {
  QString base = name;
  base.remove(QStringLiteral("Local\\"));
  std::vector<single_instance_paths> places;
  for (const QString& folder : {runtime_folder, private_temp_folder}) {
    if (QDir::isAbsolutePath(folder)) {
      const QDir dir(folder);
      places.push_back({dir.filePath(base + QStringLiteral(".lock")),
                        dir.filePath(base + QStringLiteral(".socket"))});
    }
  }
  return places;
}

single_instance::single_instance(std::vector<single_instance_paths> places)
    : places_(std::move(places)) {}

single_instance::~single_instance() {
  release();
}

void single_instance::release() {
  if (server_) {
    server_->close();
    server_.reset();
  }
  if (lock_fd_ != -1) {
    ::close(lock_fd_);  // releases the lock; the file stays for the next start
    lock_fd_ = -1;
  }
}

bool single_instance::acquire() {
  for (const single_instance_paths& place : places_) {
    const QByteArray path = QFile::encodeName(place.lock_file);
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd == -1) {
      core::log::write(core::log::severity::warning, "cannot open the lock file '%s': %s",
                       path.constData(), std::strerror(errno));
      continue;
    }
    chosen_ = &place;
    int result;
    do {
      result = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (result == -1 && errno == EINTR);
    if (result != 0) {
      ::close(fd);
      return false;
    }
    lock_fd_ = fd;
    return true;
  }
  core::log::write(core::log::severity::warning,
                   "no folder can hold the lock file: this instance runs unguarded");
  return true;
}

void single_instance::ask_first_to_show(const QString& activation_token) const {
  if (chosen_ == nullptr) {
    return;
  }
  QLocalSocket socket;
  socket.connectToServer(chosen_->socket);
  if (!socket.waitForConnected(request_wait_ms)) {
    return;
  }
  socket.write(show_request(activation_token));
  socket.waitForBytesWritten(request_wait_ms);
  socket.disconnectFromServer();
}

void single_instance::listen() {
  // Without the lock another instance may be listening: its socket stays.
  if (lock_fd_ == -1) {
    return;
  }
  const QString& socket = chosen_->socket;
  server_ = std::make_unique<QLocalServer>();
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  QLocalServer::removeServer(socket);
  if (!server_->listen(socket)) {
    core::log::write(core::log::severity::warning, "cannot listen on '%s': %s",
                     socket.toStdString(), server_->errorString().toStdString());
    return;
  }
  connect(server_.get(), &QLocalServer::newConnection, this, [this] {
    while (QLocalSocket* client = server_->nextPendingConnection()) {
      answer_when_complete(client);
    }
  });
}

// Any request shows the window, there is only one kind; a sender that goes
// before its newline (or never writes one) is answered all the same.
void single_instance::answer_when_complete(QLocalSocket* client) {
  const auto answer = [this, client] {
    disconnect(client, nullptr, this, nullptr);
    const QString token = activation_token_of(client->readLine(max_request_size));
    client->deleteLater();
    Q_EMIT show_requested(token);
  };
  const auto answer_at_newline = [client, answer] {
    if (client->canReadLine() || client->bytesAvailable() >= max_request_size) {
      answer();
    }
  };
  connect(client, &QLocalSocket::readyRead, this, answer_at_newline);
  connect(client, &QLocalSocket::disconnected, this, answer);
  if (client->state() != QLocalSocket::ConnectedState) {
    answer();
  } else {
    answer_at_newline();
  }
}

}  // namespace parvel
