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

// QFileDialog's multiple-selection file dialog and its folder picker.
std::unique_ptr<photo_dialogs> make_file_dialogs();

}  // namespace parvel
