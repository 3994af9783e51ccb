#include "ui/app/guarded_application.hpp"

#include <exception>

#include "core/log/logger.hpp"

namespace parvel {

guarded_application::guarded_application(int& argc, char** argv) : QApplication(argc, argv) {
  // The frame ends the loop itself, with the exit code of its close.
  setQuitOnLastWindowClosed(false);
}

bool guarded_application::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& e) {
    core::log::write(core::log::severity::error, "%s", e.what());
  } catch (...) {
    core::log::write(core::log::severity::error, "unknown exception");
  }
  std::terminate();
}

bool guarded_application::event(QEvent* event) {
  if (event->type() == QEvent::Quit) {
    Q_EMIT session_ending();
    return true;
  }
  return QApplication::event(event);
}

}  // namespace parvel
