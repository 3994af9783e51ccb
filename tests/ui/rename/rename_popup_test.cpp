#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "engine/photos/package_info.hpp"
#include "engine/rename/rename_alg.hpp"
#include "tests/support/widget_driver.hpp"
#include "tests/support/widget_test.hpp"
#include "ui/rename/addphotos_rename_popup.hpp"
#include "ui/theme/drawing.hpp"

class rename_popup_test : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<QWidget> page_;
  std::shared_ptr<parvel::package_info> photos_;
  core::key_value_params params_;
  parvel::addphotos_rename_popup* popup_ = nullptr;
  int rename_changes_ = 0;
  int hidden_ = 0;
  QString saved_clipboard_;

  void open() {
    popup_ = new parvel::addphotos_rename_popup(photos_, params_, page_.get());
    popup_->signal_hidden.connect([this](bool) { ++hidden_; });
    popup_->setGeometry(QRect(QPoint(20, 40), popup_->preferred_size()));
    popup_->show();
  }

  QLineEdit* field(const char* id, int index = 0) const {
    return popup_->findChildren<QLineEdit*>(QLatin1String(id)).value(index);
  }

  void type(QWidget* target, const QString& keys) {
    target->setFocus();
    QTRY_VERIFY(target->hasFocus());
    test_support::type(page_->windowHandle(), keys);
  }

  void choose_sequence_numbers() {
    type(test_support::control<QComboBox>(*popup_, 116), {});
    QTest::keyClick(page_->windowHandle(), Qt::Key_Down);
    QCOMPARE(popup_->scheme(), 2);
  }

  std::string preview_of(const std::string& name) const { return popup_->preview().at(name); }
  std::string renamed(const std::string& stem) const {
    return parvel::rename_alg::invoke(photos_->get_rename_alg(), stem);
  }

 private Q_SLOTS:
  void init() {
    saved_clipboard_ = QGuiApplication::clipboard()->text();
    photos_ = std::make_shared<parvel::package_info>();
    photos_->signal_rename_changed.connect([this] { ++rename_changes_; });
    params_ = core::key_value_params();
    rename_changes_ = 0;
    hidden_ = 0;
    page_ = std::make_unique<QWidget>();
    page_->resize(1000, 700);
    page_->show();
    page_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(page_.get()));
    open();
  }

  // The clipboard is process-wide: a pasting case must not leave its text
  // to the next test class.
  void cleanup() {
    page_.reset();
    photos_.reset();
    QGuiApplication::clipboard()->setText(saved_clipboard_);
  }

  void opening_stores_the_name_keeping_scheme() {
    QVERIFY(photos_->get_rename_alg() != nullptr);
    QVERIFY(rename_changes_ > 0);
    QCOMPARE(renamed("a"), std::string("a"));
    QCOMPARE(preview_of("test_image_a.jpg"), std::string("test_image_a.jpg"));
    QCOMPARE(popup_->scheme(), 1);
    QVERIFY(popup_->preferred_size().width() > 300);
  }

  void typing_a_prefix_stores_the_scheme_and_previews_it() {
    const int before = rename_changes_;
    type(field("id_113", 0), QStringLiteral("x"));
    QVERIFY(rename_changes_ > before);
    QCOMPARE(renamed("a"), std::string("xa"));
    QCOMPARE(preview_of("test_image_a.jpg"), std::string("xtest_image_a.jpg"));
    QCOMPARE(preview_of("test_image_b.tiff"), std::string("xtest_image_b.tiff"));
  }

  void sequence_numbers_count_and_digits_stop_at_eight() {
    choose_sequence_numbers();
    QCOMPARE(preview_of("test_image_a.jpg"), std::string("0.jpg"));
    QCOMPARE(preview_of("test_image_b.tiff"), std::string("1.tiff"));

    QLineEdit* digits = field("id_115");
    digits->selectAll();
    type(digits, QStringLiteral("9"));
    QCOMPARE(digits->text(), QStringLiteral("8"));
    QCOMPARE(digits->selectedText(), QStringLiteral("8"));
    QCOMPARE(preview_of("test_image_a.jpg"), std::string("00000000.jpg"));
    if (const QByteArray folder = qgetenv("LUMBREL_GRAB_DIR"); !folder.isEmpty())
      page_->grab().save(QString::fromLocal8Bit(folder) + QStringLiteral("/rename_popup.png"));
  }

  void the_counter_fields_take_up_to_three_digits_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("text");
    const auto row = [](const char* name, const char* typed, const char* pasted, const char* text) {
      QTest::newRow(name) << QString(typed) << QString(pasted) << QString(text);
    };
    row("letters and signs typed are dropped", "1a-2 b", "", "12");
    row("typing stops at three digits", "12345", "", "123");
    row("a pasted text with letters is refused whole", "7", "4x", "7");
  }

  void the_counter_fields_take_up_to_three_digits() {
    QFETCH(QString, typed);
    QFETCH(QString, pasted);
    QFETCH(QString, text);
    choose_sequence_numbers();
    QLineEdit* start = field("id_114");
    start->selectAll();
    type(start, typed);
    if (!pasted.isEmpty()) {
      QGuiApplication::clipboard()->setText(pasted);
      QTest::keyClick(page_->windowHandle(), Qt::Key_V, Qt::ControlModifier);
    }
    QCOMPARE(start->text(), text);
  }

  void a_hidden_item_raises_nothing() {
    const int before = rename_changes_;
    field("id_113", 1)->setText(QStringLiteral("hidden"));  // the Filename text item
    QCOMPARE(rename_changes_, before);
    QCOMPARE(renamed("a"), std::string("a"));
  }

  void apply_saves_and_a_new_popup_restores() {
    type(field("id_113", 0), QStringLiteral("p"));
    type(field("id_113", 2), QStringLiteral("s"));
    test_support::click(*test_support::control<QPushButton>(*popup_, 1), QPoint(5, 5));
    QTRY_COMPARE(hidden_, 1);
    QVERIFY(!popup_->isVisible());
    QCOMPARE(params_.get<std::string>("prefix_text"), std::string("p"));
    QCOMPARE(params_.get<std::string>("suffix_text"), std::string("s"));
    QCOMPARE(params_.get<int>("scheme_type"), 1);

    delete popup_;
    photos_->set_rename_alg(nullptr);
    open();
    QCOMPARE(field("id_113", 0)->text(), QStringLiteral("p"));
    QCOMPARE(renamed("a"), std::string("pas"));
  }

  void a_click_outside_hides_and_saves() {
    type(field("id_113", 0), QStringLiteral("q"));
    QTest::mouseClick(page_->windowHandle(), Qt::LeftButton, {}, QPoint(900, 650));
    QTRY_COMPARE(hidden_, 1);
    QCOMPARE(params_.get<std::string>("prefix_text"), std::string("q"));
    QCOMPARE(renamed("a"), std::string("qa"));  // hiding keeps the stored scheme
  }

  void unsafe_text_previews_as_stored() {
    type(field("id_113", 0), QStringLiteral("a/b"));
    QCOMPARE(preview_of("test_image_a.jpg"), std::string("a_btest_image_a.jpg"));
  }

  // On a screen of scale 2 the preview's arrow comes from art drawn at twice
  // its size, not from the 1x art scaled up.
  void the_arrow_has_art_for_twice_its_size() {
    const QImage once = parvel::load_png_resource(131);
    const QImage twice = parvel::load_png_resource(131, 2);
    QCOMPARE(twice.size(), once.size() * 2);
    QCOMPARE(twice.devicePixelRatio(), 2.0);
    QImage art(QStringLiteral(":/png/131@2x.png"));
    QVERIFY(!art.isNull());
    art = art.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    art.setDevicePixelRatio(2);
    QVERIFY(twice == art);
  }

  void reset_returns_to_prefix_and_suffix() {
    auto* list = test_support::control<QComboBox>(*popup_, 116);
    type(list, {});
    QTest::keyClick(page_->windowHandle(), Qt::Key_Down);
    type(field("id_113", 0), QStringLiteral("p"));
    test_support::click(*test_support::control<QPushButton>(*popup_, 4), QPoint(5, 5));
    QCOMPARE(popup_->scheme(), 1);
    QCOMPARE(field("id_113", 0)->text(), QString());
    QCOMPARE(field("id_115")->text(), QStringLiteral("1"));  // the counter keeps its values
    QCOMPARE(renamed("a"), std::string("a"));
  }
};

LUMBREL_WIDGET_TEST(rename_popup_test);
#include "rename_popup_test.moc"
