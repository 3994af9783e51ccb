#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <vector>

#include "engine/app/application.hpp"
#include "engine/controller/controller.hpp"
#include "engine/options/convert_option_manager.hpp"
#include "engine/options/resize_option_manager.hpp"
#include "tests/support/widget_driver.hpp"
#include "tests/support/widget_test.hpp"
#include "ui/addphotos/addphotos_convert_list.hpp"
#include "ui/addphotos/addphotos_convert_popup.hpp"
#include "ui/addphotos/addphotos_edit_panel.hpp"
#include "ui/addphotos/addphotos_panel_alt.hpp"
#include "ui/addphotos/addphotos_resize_list.hpp"
#include "ui/addphotos/addphotos_resize_popup.hpp"
#include "ui/addphotos/addphotos_statusbar.hpp"
#include "ui/addphotos/flow_statusbar_item.hpp"
#include "ui/controls/cue_edit.hpp"

namespace {

using parvel::convert_option_manager;
using parvel::photo_resize_option;
using parvel::resize_option_manager;

struct host {
  QWidget window;
  parvel::addphotos_panel_alt* panel;
  parvel::addphotos_edit_panel* edit_panel;

  host() {
    window.resize(800, 300);
    panel = new parvel::addphotos_panel_alt(&window);
    panel->setGeometry(0, 0, 800, panel->sizeHint().height() + 10);
    edit_panel = new parvel::addphotos_edit_panel(&window);
    edit_panel->setGeometry(20, 60, 300, 200);
    window.show();
    window.activateWindow();
  }

  QWindow* handle() { return window.windowHandle(); }
  QLabel& link(int id) const { return *test_support::control<QLabel>(*panel, id); }
};

}  // namespace

class option_popups_test : public QObject {
  Q_OBJECT

  // The managers are process-wide: what a case chose, failed or not, must
  // not reach the next test class.
  photo_resize_option saved_size_;
  parvel::photo_convert_option saved_format_;

 private Q_SLOTS:
  void init() {
    saved_size_ = resize_option_manager::instance()->current();
    saved_format_ = convert_option_manager::instance()->current();
    resize_option_manager::instance()->set_current({0, 0, 0});
    convert_option_manager::instance()->set_current(parvel::photo_convert_option(0));
  }

  void cleanup() {
    resize_option_manager::instance()->set_current(saved_size_);
    convert_option_manager::instance()->set_current(saved_format_);
  }

  void at_start_the_edit_panel_shows_nothing() {
    host h;
    QVERIFY(QTest::qWaitForWindowExposed(&h.window));
    for (QWidget* child : h.edit_panel->findChildren<QWidget*>())
      QVERIFY2(!child->isVisible(), qPrintable(child->objectName()));
  }

  void format_link_opens_its_popup_and_a_choice_shows_the_quality() {
    host h;
    QVERIFY(QTest::qWaitForWindowExposed(&h.window));
    int signals_raised = 0;
    boost::signals2::scoped_connection counting =
        convert_option_manager::instance()->signal_option_changed.connect(
            [&](const parvel::photo_convert_option&) { ++signals_raised; });
    test_support::click(h.link(119));
    QPointer<parvel::addphotos_convert_popup> popup = h.panel->convert_popup();
    QVERIFY(popup && popup->isVisible());
    const QLabel& link = h.link(119);
    QCOMPARE(popup->geometry().topLeft(), link.mapToGlobal(QPoint(0, link.height() + 1)));
    QCOMPARE(popup->size(), popup->preferred_size());
    QCOMPARE(popup->height(), 6 * popup->list().row_height() + 2);
    test_support::click_row(popup->list(), 3);
    QCOMPARE(convert_option_manager::instance()->current().format, 3);
    QCOMPARE(signals_raised, 1);
    QVERIFY(!popup || !popup->isVisible());
    QTRY_VERIFY(popup.isNull());
    QVERIFY(h.edit_panel->quality_edit().isVisible());
    QCOMPARE(h.edit_panel->quality_edit().text(), QString("95"));
    QVERIFY(!h.edit_panel->width_edit().isVisible());
    // The same format again raises the signal again.
    test_support::click(h.link(119));
    popup = h.panel->convert_popup();
    test_support::click_row(popup->list(), 3, {}, Qt::RightButton);
    QCOMPARE(signals_raised, 2);
  }

  // CTest runs this class again at QT_SCALE_FACTOR 1.25, 1.5 and 2: the
  // lists fill the popups up to the border, which stays whole on each side.
  void the_popups_keep_their_border_whole_data() {
    QTest::addColumn<int>("link");
    QTest::newRow("format") << 119;
    QTest::newRow("size") << 120;
  }

  void the_popups_keep_their_border_whole() {
    QFETCH(int, link);
    host h;
    QVERIFY(QTest::qWaitForWindowExposed(&h.window));
    test_support::click(h.link(link));
    QWidget* popup = link == 119 ? static_cast<QWidget*>(h.panel->convert_popup())
                                 : static_cast<QWidget*>(h.panel->resize_popup());
    QVERIFY(popup && popup->isVisible());
    const QImage picture = popup->grab().toImage();
    const int right = picture.width() - 1;
    const int bottom = picture.height() - 1;
    const QColor border = popup->palette().color(QPalette::Dark);
    const QString mismatch =
        test_support::first_pixel_mismatch(picture, {{"left", {0, bottom / 2}, border},
                                                     {"top", {right / 2, 0}, border},
                                                     {"right", {right, bottom / 2}, border},
                                                     {"bottom", {right / 2, bottom}, border}});
    QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
  }

  void a_second_click_on_the_link_only_closes() {
    host h;
    QVERIFY(QTest::qWaitForWindowExposed(&h.window));
    test_support::click(h.link(119));
    QPointer<parvel::addphotos_convert_popup> first = h.panel->convert_popup();
    QVERIFY(first && first->isVisible());
    test_support::click(h.link(119));
    QVERIFY(!first || !first->isVisible());
    QTRY_VERIFY(first.isNull());
    QVERIFY(h.panel->convert_popup() == nullptr);
    test_support::click(h.link(119));
    QVERIFY(h.panel->convert_popup() && h.panel->convert_popup()->isVisible());
  }

  void size_choices_update_the_manager_and_the_fields() {
    host h;
    QVERIFY(QTest::qWaitForWindowExposed(&h.window));
    std::vector<photo_resize_option> raised;
    boost::signals2::scoped_connection counting =
        resize_option_manager::instance()->signal_option_changed.connect(
            [&](const photo_resize_option& option) { raised.push_back(option); });
    test_support::click(h.link(120));
    QPointer<parvel::addphotos_resize_popup> popup = h.panel->resize_popup();
    QVERIFY(popup && popup->isVisible());
    const QLabel& link = h.link(120);
    QCOMPARE(popup->geometry().topLeft(), link.mapToGlobal(QPoint(0, link.height() + 1)));
    QCOMPARE(popup->height(), 15 * popup->list().row_height() + 2);
    test_support::click_row(popup->list(), 4);
    const photo_resize_option current = resize_option_manager::instance()->current();
    QCOMPARE(current.kind, 2);
    QCOMPARE(current.width, 1920u);
    QCOMPARE(h.edit_panel->width_edit().text(), QString("1920"));
    QCOMPARE(h.edit_panel->height_edit().text(), QString("1080"));
    QVERIFY(!h.edit_panel->width_edit().isVisible());
    QTRY_VERIFY(popup.isNull());

    // A band and the current size change nothing.
    for (int row : {2, 4}) {
      test_support::click(h.link(120));
      popup = h.panel->resize_popup();
      test_support::click_row(popup->list(), row);
      QTRY_VERIFY(popup.isNull());
    }
    QCOMPARE(raised.size(), std::size_t(1));

    test_support::click(h.link(120));
    popup = h.panel->resize_popup();
    test_support::click_row(popup->list(), 1);
    QCOMPARE(resize_option_manager::instance()->current().kind, 1);
    QVERIFY(h.edit_panel->width_edit().isVisible());
    QVERIFY(h.edit_panel->height_edit().isVisible());
    QCOMPARE(h.edit_panel->width_edit().text(), QString());
  }

  void hovered_options_get_the_selection_look_and_bands_do_not() {
    host h;
    QVERIFY(QTest::qWaitForWindowExposed(&h.window));
    test_support::click(h.link(120));
    QPointer<parvel::addphotos_resize_popup> popup = h.panel->resize_popup();
    QVERIFY(popup);
    auto& list = popup->list();
    const auto picture = [&](int row) {
      return list.viewport()->grab(*list.row_rect(row)).toImage();
    };
    const auto hover = [&](int row) {
      QTest::mouseMove(popup->windowHandle(), test_support::row_point(popup->list(), row));
    };
    struct row {
      const char* name;
      int row;
      bool highlighted;
    };
    for (const row& r : {row{"HD band", 2, false}, row{"an HD size", 3, true},
                         row{"Monitor band", 10, false}, row{"Custom size...", 1, true}}) {
      hover(0);
      const QImage plain = picture(r.row);
      hover(r.row);
      QVERIFY2((picture(r.row) != plain) == r.highlighted, r.name);
    }
  }

  void custom_size_chosen_again_while_typing_keeps_the_typed_size() {
    resize_option_manager::instance()->set_current({1, 0, 0});
    host h;
    parvel::addphotos_statusbar bar(&h.window);
    QVERIFY(QTest::qWaitForWindowExposed(&h.window));
    h.edit_panel->layout();
    h.edit_panel->width_edit().setFocus();
    test_support::type(h.handle(), "800");
    QTest::keyClick(h.handle(), Qt::Key_Tab);
    QVERIFY(h.edit_panel->height_edit().hasFocus());
    test_support::type(h.handle(), "600");
    test_support::click(h.link(120));
    QPointer<parvel::addphotos_resize_popup> popup = h.panel->resize_popup();
    test_support::click_row(popup->list(), 1);
    QTRY_VERIFY(popup.isNull());
    QCOMPARE(h.edit_panel->width_edit().text(), QString("800"));
    QCOMPARE(h.edit_panel->height_edit().text(), QString("600"));
    const photo_resize_option current = resize_option_manager::instance()->current();
    QCOMPARE(current.kind, 1);
    QCOMPARE(current.width, 800u);
    QCOMPARE(current.height, 600u);
    QCOMPARE(bar.resize_field().text(), QStringLiteral("Resize: 800 x 600"));
  }

  void typing_a_width_raises_a_resize_signal_per_key() {
    resize_option_manager::instance()->set_current({1, 0, 0});
    host h;
    QVERIFY(QTest::qWaitForWindowExposed(&h.window));
    h.edit_panel->layout();
    std::vector<photo_resize_option> raised;
    boost::signals2::scoped_connection counting =
        resize_option_manager::instance()->signal_option_changed.connect(
            [&](const photo_resize_option& option) { raised.push_back(option); });
    h.edit_panel->width_edit().setFocus();
    test_support::type(h.handle(), "1024");
    QCOMPARE(h.edit_panel->width_edit().text(), QString("1024"));
    QCOMPARE(raised.size(), std::size_t(4));
    const unsigned widths[] = {1, 10, 102, 1024};
    for (std::size_t i = 0; i < raised.size(); ++i) {
      QCOMPARE(raised[i].kind, 1);
      QCOMPARE(raised[i].width, widths[i]);
      QCOMPARE(raised[i].height, 0u);
    }
    // Text the program sets changes no option.
    h.edit_panel->height_edit().setText("77");
    QCOMPARE(raised.size(), std::size_t(4));
  }

  void a_quality_over_100_becomes_100_selected() {
    convert_option_manager::instance()->set_current(parvel::photo_convert_option(3));
    host h;
    QVERIFY(QTest::qWaitForWindowExposed(&h.window));
    h.edit_panel->layout();
    QLineEdit& quality = h.edit_panel->quality_edit();
    quality.setFocus();
    quality.selectAll();
    test_support::type(h.handle(), "150");
    QCOMPARE(quality.text(), QString("100"));
    QCOMPARE(quality.selectedText(), QString("100"));
    quality.selectAll();
    test_support::type(h.handle(), "99");
    QCOMPARE(quality.text(), QString("99"));
  }

  void send_commits_what_the_fields_show() {
    resize_option_manager::instance()->set_current({1, 0, 0});
    convert_option_manager::instance()->set_current(parvel::photo_convert_option(3));
    host h;
    h.edit_panel->width_edit().setText("800");
    h.edit_panel->quality_edit().clear();
    parvel::application::instance()->controller()->notify_commit_updates();
    const photo_resize_option size = resize_option_manager::instance()->current();
    QCOMPARE(size.kind, 1);
    QCOMPARE(size.width, 800u);
    QCOMPARE(size.height, 0u);
    QCOMPARE(convert_option_manager::instance()->current().params.get_quality(), 0);
  }

  void a_destroyed_edit_panel_hears_no_more_signals() {
    { host h; }
    resize_option_manager::instance()->signal_option_changed({2, 1280, 720});
    parvel::application::instance()->controller()->notify_commit_updates();
  }
};

LUMBREL_WIDGET_TEST(option_popups_test);
#include "option_popups_test.moc"
