#pragma once

#include <QString>

#include "ui/app/taskbar_progress.hpp"

namespace parvel {

// The program's launcher button: each change is sent as the
// com.canonical.Unity.LauncherEntry Update signal on the session bus, which
// docks and task managers show. Without a session bus nothing is sent.
// User-interface thread only.
class taskbar_button {
 public:
  // desktop_file_id names the .desktop file the launcher entry belongs to.
  explicit taskbar_button(const QString& desktop_file_id);

  void set_value(float p);
  void set_state(taskbar_progress::state s);

  const taskbar_progress& progress() const { return progress_; }

 private:
  void send() const;

  QString application_uri_;
  taskbar_progress progress_;
};

}  // namespace parvel
