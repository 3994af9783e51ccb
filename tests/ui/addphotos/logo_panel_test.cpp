#include <QTest>
#include <filesystem>
#include <memory>

#include "core/shell_open.hpp"
#include "tests/support/log_capture.hpp"
#include "tests/support/temp_folder.hpp"
#include "tests/support/widget_test.hpp"
#include "ui/addphotos/addphotos_logo_panel.hpp"

class logo_panel_test : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<QWidget> page_;
  parvel::addphotos_logo_panel* panel_ = nullptr;

 private Q_SLOTS:
  void init() {
    page_ = std::make_unique<QWidget>();
    page_->resize(1000, 700);
    panel_ = new parvel::addphotos_logo_panel(page_.get());
    panel_->setGeometry(0, 0, 1000, 56);
    page_->show();
    QVERIFY(QTest::qWaitForWindowExposed(page_.get()));
  }

  // The opener is process-wide: a failed click test must not leave the
  // next test its script.
  void cleanup() {
    page_.reset();
    core::set_shell_open_program("xdg-open");
  }

  void draws_logo_texts_and_rule() {
    const QImage picture = panel_->grab().toImage();
    const QRect link = panel_->link_rect();
    QCOMPARE(link.topLeft(), QPoint(2, 2));
    QVERIFY(link.width() > 100);
    QVERIFY(QColor(picture.pixel(link.left() + 20, link.top() + 6)).blue() > 150);  // the mark
    QCOMPARE(QColor(picture.pixel(500, 1)), QColor(Qt::white));
    // The 3-pixel rule is centred on the row below the picture: one row shows.
    for (const int x : {0, 500, 999}) {
      QCOMPARE(QColor(picture.pixel(x, 55)), QColor(0x50, 0x50, 0x50));
      QCOMPARE(QColor(picture.pixel(x, 54)), QColor(Qt::white));
    }
    if (const QByteArray folder = qgetenv("LUMBREL_GRAB_DIR"); !folder.isEmpty())
      picture.save(QString::fromLocal8Bit(folder) + QStringLiteral("/logo_panel.png"));
  }

  void a_click_on_the_logo_opens_the_web_site() {
    test_support::temp_folder folder;
    const std::string log = folder.file("opened.txt");
    const std::string opener = folder.file("opener.sh");
    test_support::write_file(opener, "#!/bin/sh\necho \"$1\" >> '" + log + "'\n");
    std::filesystem::permissions(opener, std::filesystem::perms::owner_all);
    core::set_shell_open_program(opener);

    // No paint comes between: the link is placed as the panel is sized.
    panel_->setGeometry(0, 0, 1000, 120);
    const QRect link = panel_->link_rect();
    QCOMPARE(link.top(), (120 - link.height()) / 2);
    QTest::mouseClick(page_->windowHandle(), Qt::LeftButton, {}, link.center());
    QTRY_VERIFY(std::filesystem::exists(log) &&
                test_support::read_file(log) == "https://www.lumbrel.example/\n");
  }

  // An opener that cannot start fails at once with a logged line, so a click
  // that misses is seen to open nothing without waiting for a child.
  void the_right_and_bottom_edges_are_outside_the_link() {
    core::set_shell_open_program("/nonexistent/opener");
    panel_->setGeometry(0, 0, 1000, 120);
    const QRect link = panel_->link_rect();
    struct row {
      const char* name;
      QPoint at;
      bool opens;
    };
    const row rows[] = {
        {"last column, middle row", {link.right(), link.center().y()}, true},
        {"beyond the right edge, middle row", {link.right() + 1, link.center().y()}, false},
        {"last row, middle column", {link.center().x(), link.bottom()}, true},
        {"below the bottom edge, middle column", {link.center().x(), link.bottom() + 1}, false},
    };
    for (const row& r : rows) {
      const test_support::log_capture capture;
      QTest::mouseClick(page_->windowHandle(), Qt::LeftButton, {}, r.at);
      QVERIFY2(capture.text().empty() != r.opens, r.name);
    }
  }
};

LUMBREL_WIDGET_TEST(logo_panel_test);
#include "logo_panel_test.moc"
