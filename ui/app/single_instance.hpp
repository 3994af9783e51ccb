#pragma once

#include <QObject>
#include <QString>
#include <memory>

class QLocalServer;

namespace parvel {

// The files that keep the program to one instance a user: a lock file held
// with flock and a local socket beside it, in $XDG_RUNTIME_DIR, else in the
// program's private temporary folder (never a folder every user shares).
struct single_instance_paths {
  QString lock_file;
  QString socket;
};

// name is the mutex name; a "Local\" prefix is left out of the file names.
single_instance_paths instance_paths(const QString& name, const QString& runtime_folder,
                                     const QString& private_temp_folder);

// One instance of the program a user. The first start holds the lock for its
// whole run and, once its window exists, listens on the socket; a later start
// finds the lock taken, asks the first to show its window and ends.
// User-interface thread only.
class single_instance : public QObject {
  Q_OBJECT

 public:
  explicit single_instance(single_instance_paths paths);
  ~single_instance() override;

  // Takes the lock. false when another instance holds it. A lock file that
  // cannot be opened does not stop the start: the result is true, logged.
  bool acquire();

  // The second start's request: asks the running instance to show its window.
  // Waits a bounded time; a first instance still starting (not listening yet)
  // is not asked, and nothing is shown.
  void ask_first_to_show() const;

  // The first start, once its window exists: removes a stale socket (safe
  // while the lock is held) and listens; each request raises show_requested.
  void listen();

 Q_SIGNALS:
  void show_requested();

 private:
  single_instance_paths paths_;
  int lock_fd_ = -1;
  std::unique_ptr<QLocalServer> server_;
};

}  // namespace parvel
