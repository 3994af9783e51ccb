#include "ui/app/canvas_view.hpp"

#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <thread>

#include "engine/app/application.hpp"
#include "engine/controller/controller.hpp"
#include "tests/support/widget_driver.hpp"
#include "tests/support/widget_test.hpp"
#include "ui/controls/add_control_dispose.hpp"

namespace parvel {

namespace {

controller& hub() {
  return *application::instance()->controller();
}

// A page stand-in: an edit and a button, like the pages that will fill the canvas.
std::shared_ptr<QWidget> make_page(const QString& name) {
  auto page = add_control_dispose<QWidget>::make();
  page->setObjectName(name);
  auto* edit = new QLineEdit(page.get());
  edit->setObjectName(name + QStringLiteral("_edit"));
  auto* button = new QPushButton(name, page.get());
  button->setObjectName(name + QStringLiteral("_button"));
  button->move(0, 40);
  return page;
}

}  // namespace

class canvas_view_test : public QObject {
  Q_OBJECT

  QWidget* top_at_center(canvas_view& canvas) {
    QWidget* child = canvas.childAt(canvas.rect().center());
    while (child && child->parentWidget() != &canvas)
      child = child->parentWidget();
    return child;
  }

 private Q_SLOTS:
  void pages_stack_update_over_send_over_addphotos_at_full_size() {
    canvas_view canvas;
    canvas.resize(800, 600);
    canvas.show();
    // Made in another order than they stack.
    canvas.set_page(canvas_view::layer::update, make_page(QStringLiteral("update")));
    canvas.set_page(canvas_view::layer::addphotos, make_page(QStringLiteral("addphotos")));
    canvas.set_page(canvas_view::layer::send, make_page(QStringLiteral("send")));
    QCOMPARE(top_at_center(canvas), canvas.page(canvas_view::layer::update));

    canvas.resize(1024, 700);
    for (auto layer :
         {canvas_view::layer::addphotos, canvas_view::layer::send, canvas_view::layer::update}) {
      QCOMPARE(canvas.page(layer)->geometry(), QRect(0, 0, 1024, 700));
      QVERIFY(canvas.page(layer)->isVisible());
    }
    QCOMPARE(top_at_center(canvas), canvas.page(canvas_view::layer::update));

    hub().notify_update_window_closed();
    QTRY_VERIFY_WITH_TIMEOUT(!canvas.page(canvas_view::layer::update), 5000);
    QCOMPARE(top_at_center(canvas), canvas.page(canvas_view::layer::send));
  }

  void only_the_top_page_takes_input() {
    canvas_view canvas;
    canvas.resize(800, 600);
    canvas.set_page(canvas_view::layer::addphotos, make_page(QStringLiteral("addphotos")));
    canvas.show();
    QVERIFY(QTest::qWaitForWindowActive(&canvas));
    QWidget* addphotos = canvas.page(canvas_view::layer::addphotos);
    QVERIFY(addphotos->isEnabled());

    canvas.set_page(canvas_view::layer::send, make_page(QStringLiteral("send")));
    QVERIFY(!addphotos->isEnabled());
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("send_edit"));
    QTest::keyClick(canvas.windowHandle(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("send_button"));
    QTest::keyClick(canvas.windowHandle(), Qt::Key_Tab);
    // The covered page's edit and button are out of the Tab order.
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("send_edit"));
    QTest::keyClick(canvas.windowHandle(), Qt::Key_X);
    QVERIFY(addphotos->findChild<QLineEdit*>()->text().isEmpty());

    canvas.set_page(canvas_view::layer::update, make_page(QStringLiteral("update")));
    QVERIFY(!canvas.page(canvas_view::layer::send)->isEnabled());
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("update_edit"));

    hub().notify_update_window_closed();
    hub().notify_send_window_closed();
    QTRY_VERIFY_WITH_TIMEOUT(!canvas.page(canvas_view::layer::send), 5000);
    QVERIFY(addphotos->isEnabled());
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("addphotos_edit"));
  }

  void page_is_released_after_the_signal_that_asked_returns() {
    canvas_view canvas;
    canvas.show();
    QVERIFY(QTest::qWaitForWindowExposed(&canvas));
    canvas.set_page(canvas_view::layer::send, make_page(QStringLiteral("send")));
    QPointer<QWidget> page = canvas.page(canvas_view::layer::send);
    auto* close = page->findChild<QPushButton*>();
    bool alive_after_signal = false;
    connect(close, &QPushButton::clicked, page, [&] {
      hub().notify_send_window_closed();
      alive_after_signal = !page.isNull() && page->isVisibleTo(&canvas);
    });
    // A click through the window runs posted work before it returns: the
    // page's life during the signal is what shows the release is posted.
    test_support::click(*close);
    QVERIFY(alive_after_signal);
    QTRY_VERIFY_WITH_TIMEOUT(page.isNull(), 5000);
    QVERIFY(!canvas.page(canvas_view::layer::send));
  }

  void close_signal_from_a_worker_releases_on_the_window_thread() {
    canvas_view canvas;
    canvas.set_page(canvas_view::layer::update, make_page(QStringLiteral("update")));
    QPointer<QWidget> page = canvas.page(canvas_view::layer::update);
    std::thread([] { hub().on_update_window_closed(true); }).join();
    QVERIFY(!page.isNull());
    QTRY_VERIFY_WITH_TIMEOUT(page.isNull(), 5000);
  }

  void second_send_page_replaces_the_first() {
    canvas_view canvas;
    canvas.set_page(canvas_view::layer::send, make_page(QStringLiteral("first")));
    QPointer<QWidget> first = canvas.page(canvas_view::layer::send);
    canvas.set_page(canvas_view::layer::send, make_page(QStringLiteral("second")));
    QVERIFY(first.isNull());
    QCOMPARE(canvas.page(canvas_view::layer::send)->objectName(), QStringLiteral("second"));
  }

  void page_opened_again_before_the_posted_release_survives_it() {
    canvas_view canvas;
    canvas.set_page(canvas_view::layer::send, make_page(QStringLiteral("first")));
    QPointer<QWidget> first = canvas.page(canvas_view::layer::send);
    hub().notify_send_window_closed();
    canvas.set_page(canvas_view::layer::send, make_page(QStringLiteral("second")));
    QPointer<QWidget> second = canvas.page(canvas_view::layer::send);
    QVERIFY(first.isNull());
    // A marker posted after the release runs after it: then the release has had its turn.
    bool marker_ran = false;
    canvas.post([&] { marker_ran = true; });
    QTRY_VERIFY_WITH_TIMEOUT(marker_ran, 5000);
    QVERIFY(!second.isNull());
    QCOMPARE(canvas.page(canvas_view::layer::send), second.data());
  }
};

LUMBREL_WIDGET_TEST(canvas_view_test);

}  // namespace parvel

#include "canvas_view_test.moc"
