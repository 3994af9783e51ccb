#include <QComboBox>
#include <QTest>
#include <memory>
#include <string>

#include "engine/photos/package_info.hpp"
#include "engine/rename/rename_alg.hpp"
#include "engine/user/user.hpp"
#include "tests/support/widget_driver.hpp"
#include "tests/support/widget_test.hpp"
#include "ui/addphotos/addphotos_page.hpp"
#include "ui/addphotos/addphotos_panel_alt.hpp"
#include "ui/controls/link_label.hpp"
#include "ui/rename/addphotos_rename_popup.hpp"

namespace {

parvel::package_info& package() {
  return *parvel::user::instance()->get_package();
}

}  // namespace

// The action panel's "Rename" link and the page's rename popup together.
class rename_link_test : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<parvel::addphotos_page> page_;

  QWindow* window() const { return page_->windowHandle(); }
  const QWidget& link() const {
    return static_cast<const parvel::addphotos_panel_alt*>(
               page_->panel_widget(parvel::addphotos_page::panel::action))
        ->rename_link();
  }
  void click_link() { test_support::click(link()); }
  QPoint under_link() const { return link().mapTo(page_.get(), QPoint(0, link().height() + 1)); }

  void show_page(int width) {
    page_ = std::make_unique<parvel::addphotos_page>();
    page_->resize(width, 700);
    page_->show();
    page_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(page_.get()));
  }

 private Q_SLOTS:
  void init() { package().set_rename_alg(nullptr); }

  void cleanup() {
    page_.reset();
    package().set_rename_alg(nullptr);
  }

  void the_link_opens_the_popup_under_itself_and_the_scheme_reaches_the_photo_set() {
    show_page(1000);
    click_link();
    parvel::addphotos_rename_popup* popup = page_->rename_popup();
    QVERIFY(popup != nullptr);
    QVERIFY(popup->isVisible());
    QCOMPARE(popup->parentWidget(), page_.get());
    QCOMPARE(popup->size(), popup->preferred_size());
    const int kept_free = popup->width() / 20;
    QCOMPARE(popup->y(), under_link().y());
    QVERIFY(popup->x() <= under_link().x());
    QVERIFY(popup->geometry().right() + 1 + kept_free <= page_->width());

    auto* schemes = test_support::control<QComboBox>(*popup, 116);
    QVERIFY(schemes != nullptr);
    schemes->setFocus();
    QTRY_VERIFY(schemes->hasFocus());
    QTest::keyClick(window(), Qt::Key_Down);
    QCOMPARE(popup->scheme(), 2);
    // A send restarts the numbering, as here.
    const std::shared_ptr<parvel::rename_alg> stored = package().get_rename_alg();
    QVERIFY(stored != nullptr);
    stored->reset();
    QCOMPARE(stored->apply("holiday"), std::string("0"));
  }

  void a_second_click_on_the_link_closes_it_and_a_third_opens_a_new_one() {
    show_page(1000);
    click_link();
    QVERIFY(page_->rename_popup() != nullptr);
    click_link();
    QTRY_VERIFY(page_->rename_popup() == nullptr);
    click_link();
    QVERIFY(page_->rename_popup() != nullptr);
    QVERIFY(page_->rename_popup()->isVisible());
  }

  void a_narrow_page_keeps_the_popup_inside_and_a_resize_follows_the_link() {
    show_page(1000);
    click_link();
    const int width = page_->rename_popup()->width();
    page_->resize(width + 40, 700);
    QTRY_COMPARE(page_->width(), width + 40);
    parvel::addphotos_rename_popup* popup = page_->rename_popup();
    QCOMPARE(popup->x(), page_->width() - width / 20 - width);
    QCOMPARE(popup->y(), under_link().y());
  }
};

LUMBREL_WIDGET_TEST(rename_link_test);
#include "rename_link_test.moc"
