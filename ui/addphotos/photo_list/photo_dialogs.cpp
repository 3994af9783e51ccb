#include "ui/addphotos/photo_list/photo_dialogs.hpp"

#include <QAbstractItemView>
#include <QFileDialog>

namespace parvel {

namespace {

QStringList run(QFileDialog& dialog) {
  return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles() : QStringList();
}

class file_dialogs final : public photo_dialogs {
 public:
  QStringList open_files(QWidget* parent, const QStringList& filters,
                         int selected_filter) override {
    QFileDialog dialog(parent);
    // Before the filters: the type list is filled as the option says.
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filters.value(selected_filter));
    return run(dialog);
  }

  QStringList open_folders(QWidget* parent, const QString& title) override {
    QFileDialog dialog(parent, title);
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::ShowDirsOnly);
    dialog.setFileMode(QFileDialog::Directory);
    // The folder mode selects one row; set after it, its list and detail
    // views take several, and the dialog hands on every selected folder.
    for (const char* name : {"listView", "treeView"}) {
      if (auto* view = dialog.findChild<QAbstractItemView*>(QLatin1String(name)))
        view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    }
    return run(dialog);
  }
};

}  // namespace

std::unique_ptr<photo_dialogs> make_file_dialogs() {
  return std::make_unique<file_dialogs>();
}

}  // namespace parvel
