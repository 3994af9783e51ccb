#include "ui/addphotos/photo_dialogs.hpp"

#include <QFileDialog>

namespace parvel {

namespace {

class file_dialogs final : public photo_dialogs {
 public:
  QStringList open_files(QWidget* parent, const QStringList& filters,
                         int selected_filter) override {
    QString selected = filters.value(selected_filter);
    return QFileDialog::getOpenFileNames(parent, QString(), QString(),
                                         filters.join(QStringLiteral(";;")), &selected);
  }

  QStringList open_folders(QWidget* parent, const QString& title) override {
    const QString folder = QFileDialog::getExistingDirectory(parent, title);
    return folder.isEmpty() ? QStringList() : QStringList{folder};
  }
};

}  // namespace

std::unique_ptr<photo_dialogs> make_file_dialogs() {
  return std::make_unique<file_dialogs>();
}

}  // namespace parvel
