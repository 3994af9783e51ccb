#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <algorithm>
#include <memory>
#include <optional>
#include <set>
#include <stdexcept>
#include <vector>

#include "tests/support/widget_driver.hpp"
#include "tests/support/widget_test.hpp"
#include "ui/controls/basic_list.hpp"

namespace {

// Rows of text; remembers which rows were painted.
class text_list : public parvel::basic_list<text_list> {
 public:
  explicit text_list(int rows) : texts(rows) {
    for (int row = 0; row < rows; ++row)
      texts[row] = QStringLiteral("photo %1.jpg").arg(row);
    setObjectName(QStringLiteral("id_125"));
    set_show_header(false);
    set_horizontal_scroll(false);
    add_column(QStringLiteral("Name"));
    add_column(QStringLiteral("Size"));
    set_column_width(0, 150);
    set_column_width(1, 80);
  }

  int row_count() const { return static_cast<int>(texts.size()); }
  QString cell_text(int row, int column_id) const {
    painted.insert(row);
    // As a list over a real model does: a row beyond it is a fault.
    const QString& name = texts.at(static_cast<std::size_t>(row));
    return column_id == 0 ? name : QStringLiteral("%1 Kb").arg(row * 10);
  }

  std::vector<QString> texts;
  mutable std::set<int> painted;
};

}  // namespace

class basic_list_test : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<QWidget> window_;
  text_list* list_ = nullptr;
  std::vector<parvel::basic_list_notification> sent_;

  void show_list(int rows) {
    window_ = std::make_unique<QWidget>();
    list_ = new text_list(rows);
    auto* layout = new QVBoxLayout(window_.get());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(list_);
    window_->resize(260, 200);
    sent_.clear();
    QObject::connect(
        list_, &parvel::basic_list_base::signal_notify, list_,
        [this](const parvel::basic_list_notification& record) { sent_.push_back(record); });
    window_->show();
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
  }

  void click_row(int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    test_support::click_row(*list_, row, modifiers);
  }

  void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(window_->windowHandle(), key, modifiers);
  }

  int count_of(int code) const {
    int count = 0;
    for (const auto& record : sent_)
      count += record.code == code;
    return count;
  }

 private Q_SLOTS:
  void cleanup() { window_.reset(); }

  void a_click_selects_and_shift_click_extends() {
    show_list(6);
    click_row(1);
    QCOMPARE(list_->selected_rows(), std::vector<int>{1});
    QVERIFY(list_->hasFocus());
    click_row(3, Qt::ShiftModifier);
    QCOMPARE(list_->selected_rows(), (std::vector<int>{1, 2, 3}));
    QCOMPARE(sent_.back().code, parvel::notify_click);
    QCOMPARE(sent_.back().row, 3);
    QCOMPARE(count_of(parvel::notify_selection_changed), 2);
  }

  void ctrl_a_selects_every_row() {
    show_list(5);
    click_row(0);
    key(Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(list_->selected_rows(), (std::vector<int>{0, 1, 2, 3, 4}));
  }

  void delete_key_notifies_the_parent() {
    show_list(5);
    click_row(2);
    sent_.clear();
    key(Qt::Key_Delete);
    QCOMPARE(sent_.size(), std::size_t{1});
    QCOMPARE(sent_[0].code, parvel::notify_delete_key);
    QCOMPARE(sent_[0].from, static_cast<QObject*>(list_));
    QCOMPARE(sent_[0].id_from, 125);
    QCOMPARE(sent_[0].row, 2);
    QCOMPARE(sent_[0].column, 1);
  }

  void delete_after_the_rows_shrank_names_only_existing_rows() {
    show_list(6);
    click_row(3);
    click_row(5, Qt::ShiftModifier);
    // The model is reset elsewhere; the parent's Delete handler reads the rows.
    list_->texts.resize(4);
    std::vector<int> deleted;
    QObject::connect(list_, &parvel::basic_list_base::signal_notify, list_,
                     [&](const parvel::basic_list_notification& record) {
                       if (record.code != parvel::notify_delete_key)
                         return;
                       for (int row : list_->selected_rows())
                         list_->texts.at(row);
                       deleted = list_->selected_rows();
                     });
    key(Qt::Key_Delete);
    QCOMPARE(deleted, std::vector<int>{3});
  }

  void only_visible_rows_are_painted_data() {
    QTest::addColumn<int>("window_height");
    QTest::addColumn<int>("notches");  // of the wheel towards the user, three rows each
    QTest::newRow("at the top") << 200 << 0;
    QTest::newRow("scrolled by ten notches") << 200 << 10;
    QTest::newRow("a window taller than the screen paints the rows on it") << 30000 << 0;
  }

  void only_visible_rows_are_painted() {
    QFETCH(int, window_height);
    QFETCH(int, notches);
    show_list(5000);
    window_->resize(260, window_height);
    QTRY_COMPARE(list_->height(), window_height);
    for (int notch = 0; notch < notches; ++notch) {
      QWheelEvent wheel(QPointF(20, 20), list_->viewport()->mapToGlobal(QPointF(20, 20)), {},
                        QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
      QApplication::sendEvent(list_->viewport(), &wheel);
    }
    const int first = notches * 3;
    QCOMPARE(list_->first_visible_row(), first);
    const int on_screen =
        std::min(list_->viewport()->height(), list_->screen()->geometry().bottom() + 1 -
                                                  list_->viewport()->mapToGlobal(QPoint(0, 0)).y());
    list_->painted.clear();
    list_->viewport()->repaint();
    QVERIFY(!list_->painted.empty());
    QCOMPARE(*list_->painted.begin(), first);
    QVERIFY2(*list_->painted.rbegin() <= first + on_screen / list_->row_height(),
             qPrintable(QStringLiteral("rows to %1 painted").arg(*list_->painted.rbegin())));

    // Rows left out come when a move brings them on a screen.
    const int last = *list_->painted.rbegin();
    if (on_screen < list_->viewport()->height()) {
      window_->move(window_->x(), window_->y() - on_screen);
      QTRY_VERIFY(*list_->painted.rbegin() > last);
    }
  }

  // Ten rows and some pixels of room: the rows' grid snaps to whole rows, so
  // the end of the range must be a whole row too.
  void the_end_shows_the_last_row_whole_data() {
    QTest::addColumn<QString>("way");
    QTest::addColumn<int>("over");  // pixels beyond ten rows: 0 one, 1 half a row, 2 a row less one
    for (const char* way : {"wheel", "arrow", "End"}) {
      QTest::addRow("%s with a pixel over", way) << QString::fromLatin1(way) << 0;
      QTest::addRow("%s with half a row over", way) << QString::fromLatin1(way) << 1;
      QTest::addRow("%s with a row less a pixel over", way) << QString::fromLatin1(way) << 2;
    }
  }

  void the_end_shows_the_last_row_whole() {
    QFETCH(QString, way);
    QFETCH(int, over);
    constexpr int rows = 31;
    show_list(rows);
    const int row = list_->row_height();
    const int height = 10 * row + (over == 0 ? 1 : over == 1 ? row / 2 : row - 1);
    window_->resize(260, height);
    QTRY_COMPARE(list_->viewport()->height(), height);
    QScrollBar& bar = *list_->verticalScrollBar();
    if (way == QLatin1String("wheel")) {
      for (int notch = 0; notch < rows; ++notch) {
        QWheelEvent wheel(QPointF(20, 20), list_->viewport()->mapToGlobal(QPointF(20, 20)), {},
                          QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(list_->viewport(), &wheel);
      }
    } else if (way == QLatin1String("arrow")) {
      // The arrow at the bar's lower end, clicked through the window.
      const QPoint arrow = bar.mapTo(window_.get(), QPoint(bar.width() / 2, bar.height() - 3));
      for (int click = 0; click < rows; ++click) {
        QTest::mouseClick(window_->windowHandle(), Qt::LeftButton, {}, arrow);
        if (click == 0)
          QCOMPARE(bar.value(), row);
      }
    } else {
      click_row(0);
      key(Qt::Key_End);
      QCOMPARE(list_->selected_rows(), std::vector<int>{rows - 1});
    }
    QCOMPARE(bar.value(), bar.maximum());
    const std::optional<QRect> last = list_->row_rect(rows - 1);
    QVERIFY(last);
    QVERIFY2(list_->viewport()->rect().contains(*last),
             qPrintable(QStringLiteral("last row at %1 to %2 of %3")
                            .arg(last->top())
                            .arg(last->bottom())
                            .arg(list_->viewport()->height())));
    list_->painted.clear();
    list_->viewport()->repaint();
    QCOMPARE(*list_->painted.rbegin(), rows - 1);
  }
};

LUMBREL_WIDGET_TEST(basic_list_test);

#include "basic_list_test.moc"
