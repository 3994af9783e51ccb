#include "ui/app/single_instance.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <cerrno>
#include <cstring>

#include "core/log/logger.hpp"

namespace parvel {

namespace {

constexpr int request_wait_ms = 2000;
constexpr char show_request[] = "show\n";

}  // namespace

single_instance_paths instance_paths(const QString& name, const QString& runtime_folder,
                                     const QString& private_temp_folder) {
  QString base = name;
  base.remove(QStringLiteral("Local\\"));
  const QString folder =
      QDir::isAbsolutePath(runtime_folder) ? runtime_folder : private_temp_folder;
  const QDir dir(folder);
  return {dir.filePath(base + QStringLiteral(".lock")),
          dir.filePath(base + QStringLiteral(".socket"))};
}

single_instance::single_instance(single_instance_paths paths) : paths_(std::move(paths)) {}

single_instance::~single_instance() {
  if (server_) {
    server_->close();
  }
  if (lock_fd_ != -1) {
    ::close(lock_fd_);  // releases the lock; the file stays for the next start
  }
}

bool single_instance::acquire() {
  const QByteArray path = QFile::encodeName(paths_.lock_file);
  lock_fd_ = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (lock_fd_ == -1) {
    core::log::write(core::log::severity::warning, "cannot open the lock file '%s': %s",
                     path.constData(), std::strerror(errno));
    return true;
  }
  int result;
  do {
    result = ::flock(lock_fd_, LOCK_EX | LOCK_NB);
  } while (result == -1 && errno == EINTR);
  if (result == 0) {
    return true;
  }
  ::close(lock_fd_);
  lock_fd_ = -1;
  return false;
}

void single_instance::ask_first_to_show() const {
  QLocalSocket socket;
  socket.connectToServer(paths_.socket);
  if (!socket.waitForConnected(request_wait_ms)) {
    return;
  }
  socket.write(show_request);
  socket.waitForBytesWritten(request_wait_ms);
  socket.disconnectFromServer();
}

void single_instance::listen() {
  server_ = std::make_unique<QLocalServer>();
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  QLocalServer::removeServer(paths_.socket);
  if (!server_->listen(paths_.socket)) {
    core::log::write(core::log::severity::warning, "cannot listen on '%s': %s",
                     paths_.socket.toStdString(), server_->errorString().toStdString());
    return;
  }
  connect(server_.get(), &QLocalServer::newConnection, this, [this] {
    while (QLocalSocket* client = server_->nextPendingConnection()) {
      // Any request shows the window: there is only one kind.
      connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
      Q_EMIT show_requested();
    }
  });
}

}  // namespace parvel
