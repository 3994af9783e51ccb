#include "ui/app/taskbar_button.hpp"

#include <QDBusConnection>
#include <QDBusMessage>

namespace parvel {

taskbar_button::taskbar_button(const QString& desktop_file_id)
    : application_uri_(QStringLiteral("application://") + desktop_file_id +
                       QStringLiteral(".desktop")) {}

void taskbar_button::set_value(float p) {
  progress_.set_value(p);
  send();
}

void taskbar_button::set_state(taskbar_progress::state s) {
  progress_.set_state(s);
  send();
}

void taskbar_button::send() const {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) {
    return;
  }
  QDBusMessage update = QDBusMessage::createSignal(
      QStringLiteral("/com/lumbrel/parvel"), QStringLiteral("com.canonical.Unity.LauncherEntry"),
      QStringLiteral("Update"));
  update << application_uri_ << progress_.launcher_properties();
  bus.send(update);
}

}  // namespace parvel
