#include <QTest>
#include <memory>

#include "engine/options/convert_option_manager.hpp"
#include "engine/options/resize_option_manager.hpp"
#include "engine/photos/package_info.hpp"
#include "engine/rename/rename_alg_replace.hpp"
#include "engine/user/user.hpp"
#include "tests/support/temp_folder.hpp"
#include "tests/support/widget_test.hpp"
#include "ui/addphotos/addphotos_statusbar.hpp"
#include "ui/addphotos/flow_statusbar_item.hpp"
#include "ui/rename/rename_item_values.hpp"
#include "ui/rename/rename_scheme.hpp"

class status_bar_test : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<QWidget> page_;
  parvel::addphotos_statusbar* bar_ = nullptr;

  static void set_convert(int format) {
    const auto manager = parvel::convert_option_manager::instance();
    manager->set_current(parvel::photo_convert_option(format));
    manager->signal_option_changed(manager->current());
  }
  static void set_resize(parvel::photo_resize_option option) {
    const auto manager = parvel::resize_option_manager::instance();
    manager->set_current(option);
    manager->signal_option_changed(option);
  }

 private Q_SLOTS:
  void init() {
    const auto photos = parvel::user::instance()->get_package();
    photos->clear_photos();
    photos->set_rename_alg(nullptr);
    parvel::convert_option_manager::instance()->set_current(parvel::photo_convert_option(0));
    parvel::resize_option_manager::instance()->set_current({});
    page_ = std::make_unique<QWidget>();
    page_->resize(1000, 700);
    bar_ = new parvel::addphotos_statusbar(page_.get());
    page_->show();
    QVERIFY(QTest::qWaitForWindowExposed(page_.get()));
  }

  void cleanup() { page_.reset(); }

  void at_start_only_the_count_shows() {
    QVERIFY(bar_->selected_field().text().startsWith(QStringLiteral("0 files selected (")));
    QCOMPARE(bar_->convert_field().size(), QSize(0, 0));
    QCOMPARE(bar_->rename_field().size(), QSize(0, 0));
    QCOMPARE(bar_->width(), 1000);
    QCOMPARE(bar_->height(), bar_->selected_field().height() + 3);
    // The top edge's line over the gradient.
    const QImage picture = bar_->grab().toImage();
    QCOMPARE(QColor(picture.pixel(bar_->width() - 2, 0)), QColor(0x7D, 0x7D, 0x7D));
  }

  void count_and_size_follow_the_photos() {
    test_support::temp_folder folder;
    test_support::write_file(folder.file("a.jpg"), std::string(1024, 'x'));
    test_support::write_file(folder.file("b.png"), std::string(1024, 'y'));
    const auto the_user = parvel::user::instance();
    the_user->get_package()->add_paths({folder.file("a.jpg"), folder.file("b.png")});
    QCOMPARE(bar_->selected_field().text(), QStringLiteral("2 files selected (2.00 Kb)"));
    page_->resize(640, 480);
    QCOMPARE(bar_->width(), 640);
  }

  void option_fields_show_and_close_up() {
    const int first = bar_->selected_field().width();
    set_convert(3);
    QCOMPARE(bar_->convert_field().text(), QStringLiteral("Convert: JPEG"));
    QCOMPARE(bar_->convert_field().pos().x(), 2 + first + 1);
    set_resize({2, 1920, 1080});
    QCOMPARE(bar_->resize_field().text(), QStringLiteral("Resize: 1920 x 1080"));
    set_convert(0);
    QCOMPARE(bar_->convert_field().size(), QSize(0, 0));
    QCOMPARE(bar_->resize_field().pos().x(), 2 + first + 1 + 1);
    if (const QByteArray folder = qgetenv("LUMBREL_GRAB_DIR"); !folder.isEmpty())
      page_->grab().save(QString::fromLocal8Bit(folder) + QStringLiteral("/status_bar.png"));
  }

  void rename_field_shows_the_pattern() {
    const auto photos = parvel::user::instance()->get_package();
    parvel::store_rename_scheme(
        *photos, parvel::chain_rename_algs({parvel::make_text_alg("img_"),
                                            std::make_shared<parvel::rename_alg_replace>()}));
    QCOMPARE(bar_->rename_field().text(), QStringLiteral("Rename: img_*.*"));
    parvel::store_rename_scheme(*photos, nullptr);
    QCOMPARE(bar_->rename_field().text(), QString());
  }

  void a_destroyed_bar_hears_nothing() {
    delete bar_;
    set_convert(4);
    set_resize({});
    parvel::user::instance()->signal_photos_added();
    parvel::user::instance()->signal_rename_changed();
    set_convert(0);
  }
};

LUMBREL_WIDGET_TEST(status_bar_test);
#include "status_bar_test.moc"
