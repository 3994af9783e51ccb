#pragma once

#include <QStringList>
#include <memory>

class QWidget;

namespace parvel {

// The modal dialogs that choose photos; tests put their own in place.
// User-interface thread.
class photo_dialogs {
 public:
  virtual ~photo_dialogs() = default;

  // Full paths in selection order; empty when cancelled.
  virtual QStringList open_files(QWidget* parent, const QStringList& filters,
                                 int selected_filter) = 0;
  virtual QStringList open_folders(QWidget* parent, const QString& title) = 0;
};

// Qt's own multiple-selection file dialog, showing each filter's description
// alone, and its folder picker taking several folders at once. Never the
// platform's dialogs: they show a filter's name only up to its first "(" and
// pick one folder.
std::unique_ptr<photo_dialogs> make_file_dialogs();

}  // namespace parvel
