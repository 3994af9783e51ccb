#pragma once

#include <QApplication>

namespace parvel {

// The program's QApplication. An exception that leaves an event handler is
// logged with its text and ends the process through std::terminate (and so
// the terminate handler) instead of unwinding through Qt. A quit request from
// outside the program (the session manager ending the session) is turned into
// session_ending: the program never quits through QEvent::Quit itself, since
// that would close the windows through their close events, which save.
class guarded_application : public QApplication {
  Q_OBJECT

 public:
  guarded_application(int& argc, char** argv);

  bool notify(QObject* receiver, QEvent* event) override;

 Q_SIGNALS:
  void session_ending();

 protected:
  bool event(QEvent* event) override;
};

}  // namespace parvel
