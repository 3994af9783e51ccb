#pragma once

#include <QObject>
#include <memory>

class QSocketNotifier;

namespace parvel {

// Turns SIGTERM, SIGHUP and SIGINT into a Qt signal on the user-interface thread: the handler
// only writes a byte to a pipe, which a socket notifier watches, so no work
// runs inside the handler. One object a process; it restores the previous
// disposition when destroyed.
class termination_signal : public QObject {
  Q_OBJECT

 public:
  termination_signal();
  ~termination_signal() override;

 Q_SIGNALS:
  void terminated();

 private:
  void on_readable();

  std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace parvel
