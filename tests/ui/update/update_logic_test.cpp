#include <gtest/gtest.h>

#include <QPainterPath>

#include "tests/support/table.hpp"
#include "ui/update/download_progress.hpp"
#include "ui/update/link_text.hpp"
#include "ui/update/update_page_layout.hpp"
#include "ui/update/update_picture.hpp"
#include "ui/update/update_state.hpp"

namespace parvel {

void PrintTo(const link_text_parts& p, std::ostream* out) {
  *out << '[' << p.before.toStdString() << '|' << p.label.toStdString() << '|'
       << p.after.toStdString() << ']';
}

namespace {

// ---- states ----

struct state_row {
  const char* name;
  int state;
  const char* header_id;
  const char* body_id;
  // Download, Cancel, Retry, Close, progress, link line, notes.
  std::string shown;
  QRgb arrow;
};

class update_state_table : public testing::TestWithParam<state_row> {};

std::string shown_of(const update_state_view& v) {
  std::string s;
  for (bool b : {v.download, v.cancel, v.retry, v.close, v.progress, v.link_line, v.notes})
    s += b ? 'x' : '.';
  return s;
}

TEST_P(update_state_table, gives_texts_children_and_arrow) {
  const state_row& row = GetParam();
  const update_state_view* view = find_update_state(row.state);
  ASSERT_NE(view, nullptr);
  EXPECT_STREQ(view->header_id, row.header_id);
  EXPECT_STREQ(view->body_id, row.body_id);
  EXPECT_EQ(shown_of(*view), row.shown);
  EXPECT_EQ(view->arrow, row.arrow);
}

INSTANTIATE_TEST_SUITE_P(
    states, update_state_table,
    testing::Values(state_row{"available", 1, "upgrade_available_header", "upgrade_available_text",
                              "xx....x", 0x2F00AA0C},
                    state_row{"required_has_no_cancel", 2, "upgrade_available_header",
                              "upgrade_available_urgent_text", "x.....x", 0x2F00AA0C},
                    state_row{"downloading", 3, "upgrade_downloading_header",
                              "upgrade_downloading_text", ".x..x..", 0x2F00AA0C},
                    state_row{"download_failed", 4, "upgrade_download_failed_header",
                              "upgrade_download_failed_text", ".xx.xx.", 0x1FFF0000},
                    state_row{"install_failed", 5, "upgrade_install_failed_header",
                              "upgrade_install_failed_text", "...x...", 0x1FFF0000}),
    test_support::row_name());

TEST(update_state_table, has_no_row_for_other_values) {
  for (int state : {-1, 0, 6, 100})
    EXPECT_EQ(find_update_state(state), nullptr) << state;
}

// ---- link text ----

struct link_row {
  const char* name;
  QString text;
  link_text_parts parts;
};

class split_link_text_table : public testing::TestWithParam<link_row> {};

TEST_P(split_link_text_table, splits_at_the_braces) {
  EXPECT_EQ(split_link_text(GetParam().text), GetParam().parts);
}

INSTANTIATE_TEST_SUITE_P(
    texts, split_link_text_table,
    testing::Values(
        link_row{"en_us",
                 "{Click here} to go online and download the upgrade manually.",
                 {"", "Click here", " to go online and download the upgrade manually."}},
        link_row{"text_on_both_sides", "Go {here} now", {"Go ", "here", " now"}},
        link_row{"no_open_brace_no_line", "Click here", {}},
        link_row{"no_close_brace_is_plain", "Go {here now", {"Go ", "", "here now"}},
        link_row{"close_before_open_is_skipped", "a}b{c}d", {"a}b", "c", "d"}},
        link_row{"empty_label", "a{}b", {"a", "", "b"}}, link_row{"empty_text", "", {}}),
    test_support::row_name());

TEST(escape_ampersands, doubles_each_ampersand) {
  EXPECT_EQ(escape_ampersands("Download & Install"), "Download && Install");
  EXPECT_EQ(escape_ampersands("&&x&"), "&&&&x&&");
  EXPECT_EQ(escape_ampersands("none"), "none");
}

// ---- arrow ----

TEST(make_arrow_path, makes_a_downward_arrow_of_seven_points) {
  // The page's arrow: 150 x 100 with the factors 0.35 and 0.4.
  const auto points = arrow_points(0.35f, 0.4f, 10, 20, 160, 120);
  const std::array<QPointF, 7> expected{
      {{36.25, 20}, {36.25, 60}, {10, 60}, {85, 120}, {160, 60}, {133.75, 60}, {133.75, 20}}};
  for (std::size_t i = 0; i < points.size(); ++i) {
    EXPECT_FLOAT_EQ(points[i].x(), expected[i].x()) << i;
    EXPECT_FLOAT_EQ(points[i].y(), expected[i].y()) << i;
  }
  const QPainterPath path = make_arrow_path(0.35f, 0.4f, 10, 20, 160, 120);
  EXPECT_EQ(path.boundingRect(), QRectF(10, 20, 150, 100));
  EXPECT_TRUE(path.contains(QPointF(85, 110)));  // the head's tip
  EXPECT_TRUE(path.contains(QPointF(85, 25)));   // the shaft
  EXPECT_FALSE(path.contains(QPointF(15, 25)));  // beside the shaft
}

// ---- layout ----

update_page_layout_input sizes_of(QSize client) {
  return {.client = client,
          .download = {120, 14},
          .cancel = {40, 14},
          .retry = {36, 14},
          .close = {36, 14},
          .progress_text_height = 13,
          .link_before = {},
          .link = {60, 13},
          .link_after = {280, 13}};
}

TEST(update_page_layout, places_buttons_bar_text_and_link_line) {
  const update_page_layout r = layout_update_page(sizes_of({1000, 700}), *find_update_state(4));
  EXPECT_EQ(r.download, QRect(1000 - 184 - 16, 700 - 21 - 16, 184, 21));
  EXPECT_EQ(r.retry, QRect(1000 - 100 - 16, 663, 100, 21));
  // Cancel steps left past Retry.
  EXPECT_EQ(r.cancel, QRect(1000 - 104 - 16 - 116, 663, 104, 21));
  EXPECT_EQ(r.close, QRect(884, 663, 100, 21));
  // 80 % of the width, centred, as high as Cancel.
  EXPECT_EQ(r.progress_bar, QRect(100, 339, 800, 21));
  EXPECT_EQ(r.progress_text, QRect(500, 360 + 16, 400, 19));
  EXPECT_EQ(r.link_before, QRect());
  EXPECT_EQ(r.link, QRect(100, 360 + 48, 60, 19));
  EXPECT_EQ(r.link_after, QRect(160, 408, 280, 19));
}

TEST(update_page_layout, cancel_steps_past_download_only_when_both_show) {
  const QSize client(1000, 700);
  EXPECT_EQ(layout_update_page(sizes_of(client), *find_update_state(1)).cancel.x(),
            1000 - 104 - 16 - 200);
  for (int state : {2, 3, 5})
    EXPECT_EQ(layout_update_page(sizes_of(client), *find_update_state(state)).cancel.x(),
              1000 - 104 - 16)
        << state;
}

TEST(update_page_layout, keeps_sizes_whole_in_a_page_narrower_than_the_buttons) {
  const update_page_layout r = layout_update_page(sizes_of({50, 30}), *find_update_state(1));
  for (const QRect& rect : {r.download, r.cancel, r.progress_bar, r.progress_text, r.link})
    EXPECT_TRUE(rect.width() >= 0 && rect.height() >= 0);
  EXPECT_EQ(r.download.size(), QSize(184, 21));
}

// ---- picture ----

TEST(update_picture, areas_inset_from_measured_text) {
  const QRectF header = header_area({1000, 700}, {40, 20});
  EXPECT_EQ(header, QRectF(20, 20, 960, 660));
  EXPECT_EQ(body_area(header, 40), QRectF(60, 20, 880, 660));
  EXPECT_EQ(body_box({60, 20, 300, 16}, 22), QRectF(60, 64, 300, 16));
  const QRectF panel = notes_panel({60, 64, 300, 16}, {1000, 700});
  EXPECT_EQ(panel, QRectF(60, 88, 880, 350));
  EXPECT_EQ(notes_text_area(panel), QRectF(64, 92, 872, 342));
}

TEST(update_picture, page_narrower_than_its_margins_gives_empty_areas) {
  const QRectF header = header_area({30, 25}, {40, 20});
  EXPECT_EQ(header.size(), QSizeF(0, 0));
  EXPECT_EQ(body_area(header, 40).size(), QSizeF(0, 0));
  EXPECT_EQ(notes_panel({60, 64, 0, 16}, {30, 25}).width(), 0);
  EXPECT_EQ(notes_text_area({0, 0, 6, 3}).size(), QSizeF(0, 0));
}

// ---- progress ----

struct progress_row {
  const char* name;
  unsigned received;
  unsigned total;
  float fraction;
  float bar;
  QString text;
  bool complete;
};

class download_progress_table : public testing::TestWithParam<progress_row> {};

TEST_P(download_progress_table, gives_fraction_bar_and_text) {
  const auto& row = GetParam();
  const auto progress = make_download_progress(row.received, row.total, "Kb");
  ASSERT_TRUE(progress.has_value());
  EXPECT_FLOAT_EQ(progress->fraction, row.fraction);
  EXPECT_FLOAT_EQ(progress->bar_value, row.bar);
  EXPECT_EQ(progress->text.toStdString(), row.text.toStdString());
  EXPECT_EQ(progress->complete, row.complete);
}

INSTANTIATE_TEST_SUITE_P(
    reports, download_progress_table,
    testing::Values(progress_row{"quarter", 524288, 2097152, 0.25f, 0.25f, "512 / 2048 Kb", false},
                    progress_row{"half_of_3000_bytes", 1500, 3000, 0.5f, 0.5f, "1 / 2 Kb", false},
                    progress_row{"nothing_yet", 0, 1000, 0.0f, 0.0f, "0 / 0 Kb", false},
                    progress_row{"one_byte_short", 2999, 3000, 2999.0f / 3000, 2999.0f / 3000,
                                 "2 / 2 Kb", false},
                    progress_row{"last_byte", 3000, 3000, 1.0f, 1.0f, "2 / 2 Kb", true},
                    progress_row{"more_than_announced", 6000, 3000, 2.0f, 1.0f, "5 / 2 Kb", true},
                    progress_row{"largest", 4294967295u, 4294967295u, 1.0f, 1.0f,
                                 "4194303 / 4194303 Kb", true}),
    test_support::row_name());

TEST(download_progress_table, total_of_zero_changes_nothing) {
  EXPECT_FALSE(make_download_progress(100, 0, "Kb").has_value());
}

}  // namespace
}  // namespace parvel
