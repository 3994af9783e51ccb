#include "ui/addphotos/photo_list/photo_dialogs.hpp"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>

#include "tests/support/temp_folder.hpp"
#include "tests/support/widget_driver.hpp"
#include "tests/support/widget_test.hpp"
#include "ui/addphotos/photo_list/photo_filters.hpp"

namespace {

using dialog_action = std::function<void(QFileDialog&)>;

// Opens one of the real dialogs and acts on it from inside its modal loop,
// as a user would; a dialog the action leaves open is cancelled, so a
// failed check never hangs the test.
QStringList run_dialog(const std::function<QStringList(parvel::photo_dialogs&)>& open,
                       const dialog_action& act) {
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (!dialog)
      return;
    poll.stop();
    act(*dialog);
    if (dialog->isVisible())
      dialog->reject();
  });
  poll.start(10);
  return open(*parvel::make_file_dialogs());
}

// The dialog's view of the folder that shows: its list or its details.
QAbstractItemView& file_list(QFileDialog& dialog) {
  auto* list = dialog.findChild<QAbstractItemView*>(QStringLiteral("listView"));
  return list->isVisible() ? *list
                           : *dialog.findChild<QAbstractItemView*>(QStringLiteral("treeView"));
}

QStringList names_in(QAbstractItemView& view) {
  QStringList names;
  for (int row = 0; row < view.model()->rowCount(view.rootIndex()); ++row)
    names << view.model()->index(row, 0, view.rootIndex()).data().toString();
  names.sort();
  return names;
}

// The names the dialog lists in its current folder once they are the
// expected ones: it reads folders and applies filters in the background.
QStringList listed(QFileDialog& dialog, const QStringList& expected) {
  QAbstractItemView& view = file_list(dialog);
  (void)QTest::qWaitFor([&] { return names_in(view) == expected; }, 5000);
  return names_in(view);
}

void click_name(QFileDialog& dialog, const QString& name, Qt::KeyboardModifiers modifiers = {}) {
  QAbstractItemView& view = file_list(dialog);
  const QModelIndexList found = view.model()->match(view.model()->index(0, 0, view.rootIndex()),
                                                    Qt::DisplayRole, name, 1, Qt::MatchExactly);
  QVERIFY2(!found.isEmpty(), qPrintable(name));
  const QPoint at = view.viewport()->mapTo(&dialog, view.visualRect(found.first()).center());
  QTest::mouseClick(dialog.windowHandle(), Qt::LeftButton, modifiers, at);
}

void click_accept(QFileDialog& dialog) {
  const QAbstractButton* accept =
      dialog.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"))->buttons().first();
  test_support::click(*accept);
}

}  // namespace

class photo_dialogs_test : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void file_types_show_their_descriptions_and_match_every_pattern() {
    const test_support::temp_folder folder;
    for (const char* name : {"a.x3f", "b.JPG", "c.txt"})
      test_support::write_file(folder.file(name), "x");
    const QStringList filters = parvel::make_dialog_filters();
    QStringList types;
    const QStringList chosen = run_dialog(
        [&](parvel::photo_dialogs& dialogs) {
          return dialogs.open_files(nullptr, filters, parvel::all_pictures_filter_index);
        },
        [&](QFileDialog& dialog) {
          const auto* combo = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
          for (int i = 0; i < combo->count(); ++i)
            types << combo->itemText(i);
          QCOMPARE(combo->currentIndex(), parvel::all_pictures_filter_index);
          dialog.setDirectory(QString::fromStdString(folder.path().string()));
          // The RAW entry shows seven patterns; its last one still matches.
          struct row {
            int filter;
            QStringList names;
          };
          for (const row& r : {row{5, {"a.x3f"}}, row{2, {"b.JPG"}}, row{4, {}},
                               row{7, {"a.x3f", "b.JPG"}}, row{8, {"a.x3f", "b.JPG", "c.txt"}}}) {
            dialog.selectNameFilter(filters[r.filter]);
            QCOMPARE(listed(dialog, r.names), r.names);
          }
          click_name(dialog, QStringLiteral("b.JPG"));
          click_accept(dialog);
        });
    QStringList descriptions;
    for (const parvel::photo_filter_entry& entry : parvel::make_filter_text())
      descriptions << QString::fromStdString(entry.description);
    QCOMPARE(types, descriptions);
    QCOMPARE(chosen, QStringList{QString::fromStdString(folder.file("b.JPG"))});
  }

  void folder_picker_takes_several_folders() {
    const test_support::temp_folder folder;
    for (const char* name : {"one", "two", "three"})
      std::filesystem::create_directory(folder.path() / name);
    const QStringList chosen = run_dialog(
        [](parvel::photo_dialogs& dialogs) {
          return dialogs.open_folders(nullptr, QStringLiteral("Pick"));
        },
        [&](QFileDialog& dialog) {
          QCOMPARE(dialog.windowTitle(), QStringLiteral("Pick"));
          dialog.setDirectory(QString::fromStdString(folder.path().string()));
          const QStringList folders{"one", "three", "two"};
          QCOMPARE(listed(dialog, folders), folders);
          click_name(dialog, QStringLiteral("one"));
          click_name(dialog, QStringLiteral("three"), Qt::ControlModifier);
          click_accept(dialog);
        });
    QCOMPARE(chosen, (QStringList{QString::fromStdString(folder.file("one")),
                                  QString::fromStdString(folder.file("three"))}));
  }
};

LUMBREL_WIDGET_TEST(photo_dialogs_test);
#include "photo_dialogs_test.moc"
