#pragma once

#include <QStringList>

#include "ui/addphotos/photo_list/photo_dialogs.hpp"

namespace test_support {

// The add-photos page's file and folder dialogs: answers with fixed paths and
// remembers how it was asked.
struct fake_photo_dialogs final : parvel::photo_dialogs {
  QStringList files, folders;
  QStringList filters_seen;
  int selected_filter_seen = -1;
  int opened = 0;

  QStringList open_files(QWidget*, const QStringList& filters, int selected) override {
    ++opened;
    filters_seen = filters;
    selected_filter_seen = selected;
    return files;
  }
  QStringList open_folders(QWidget*, const QString&) override {
    ++opened;
    return folders;
  }
};

}  // namespace test_support
