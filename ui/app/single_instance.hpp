#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <memory>
#include <vector>

class QLocalServer;
class QLocalSocket;

namespace parvel {

// The files that keep the program to one instance a user: a lock file held
// with flock and a local socket beside it, in one folder.
struct single_instance_paths {
  QString lock_file;
  QString socket;
};

// The places that may hold the files, in the order they are tried:
// $XDG_RUNTIME_DIR when it is an absolute path, then the program's private
// temporary folder when there is one (never a folder every user shares).
// name is the mutex name; a "Local\" prefix is left out of the file names.
std::vector<single_instance_paths> instance_places(const QString& name,
                                                   const QString& runtime_folder,
                                                   const QString& private_temp_folder);

// The request a second start sends: "show", then a blank and the activation
// token the second start was given, if any, then a newline.
QByteArray show_request(const QString& activation_token);

// The activation token a request carries: empty when it carries none, or one
// that is not printable ASCII without blanks, or a request that is not one.
QString activation_token_of(const QByteArray& request);

// One instance of the program a user. The first start holds the lock for its
// whole run and, once its window exists, listens on the socket; a later start
// finds the lock taken, asks the first to show its window and ends.
// User-interface thread only.
class single_instance : public QObject {
  Q_OBJECT

 public:
  explicit single_instance(std::vector<single_instance_paths> places);
  ~single_instance() override;

  // Takes the lock in the first place whose lock file opens (a runtime
  // folder that is missing or read-only passes to the next, logged). false
  // when another instance holds it there. When no place can hold the lock
  // the start goes on unguarded: the result is true, logged.
  bool acquire();

  // The second start's request: asks the running instance to show its window,
  // passing on the activation token the second start was given (empty: none).
  // Waits a bounded time; a first instance still starting (not listening yet)
  // is not asked, and nothing is shown.
  void ask_first_to_show(const QString& activation_token) const;

  // The first start, once its window exists: removes a stale socket (safe
  // while the lock is held) and listens; each request raises show_requested
  // once, at its newline or when its sender goes. An unguarded start does not
  // listen.
  void listen();

  // Stops listening, which removes the socket, and releases the lock, as the
  // destructor does: for a process that ends without destroying its objects.
  void release();

 Q_SIGNALS:
  void show_requested(const QString& activation_token);

 private:
  void answer_when_complete(QLocalSocket* client);

  std::vector<single_instance_paths> places_;
  // Where the lock was taken or found taken; none when no place can hold it.
  const single_instance_paths* chosen_ = nullptr;
  int lock_fd_ = -1;
  std::unique_ptr<QLocalServer> server_;
};

}  // namespace parvel
