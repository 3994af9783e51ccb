#include <gtest/gtest.h>

#include <QString>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "engine/options/resize_option_manager.hpp"
#include "tests/support/numbered_list.hpp"
#include "tests/support/table.hpp"
#include "ui/addphotos/addphotos_convert_rows.hpp"
#include "ui/addphotos/addphotos_panel_alt_layout.hpp"
#include "ui/addphotos/addphotos_resize_rows.hpp"
#include "ui/addphotos/recipients/addphotos_contact_match.hpp"
#include "ui/addphotos/recipients/addphotos_contact_popup.hpp"
#include "ui/addphotos/recipients/cut_note_place.hpp"
#include "ui/addphotos/recipients/recipients_text.hpp"

namespace parvel {
namespace {

// `text` with `span` replaced by `inserted`, as the field then holds it.
QString replaced_text(const QString& text, text_span span, const QString& inserted) {
  return text.left(span.start) + inserted + text.mid(span.end);
}

struct range_case {
  std::string name;
  QString text;
  recipient_range selection;
  recipient_range expected;
  QString recipient;
};

class recipient_ranges : public testing::TestWithParam<range_case> {};

TEST_P(recipient_ranges, cover_the_recipient_under_the_caret) {
  const range_case& row = GetParam();
  const recipient_range range = find_recipient_range(row.text, row.selection);
  EXPECT_EQ(range, row.expected);
  if (range.start != -1) {
    EXPECT_EQ(recipient_in(row.text, range), row.recipient);
  }
}

INSTANTIATE_TEST_SUITE_P(
    table, recipient_ranges,
    testing::Values(
        range_case{"caret_before_comma_belongs_before", "ann, bob", {3, 3}, {0, 3}, "ann"},
        range_case{"caret_in_middle_of_three", "ann; bob; cy", {6, 6}, {4, 8}, "bob"},
        range_case{"caret_before_second_delimiter", "ann; bob; cy", {8, 8}, {4, 8}, "bob"},
        range_case{"caret_after_delimiter_starts_next", "ann;bob", {4, 4}, {4, 7}, "bob"},
        range_case{"caret_at_end", "ann; b", {6, 6}, {4, 6}, "b"},
        range_case{"empty_text", "", {0, 0}, {0, 0}, ""},
        range_case{"delimiter_first_holds_empty_recipient", ",bob", {0, 0}, {0, 0}, ""},
        range_case{"selection_across_recipients", "a; b; c", {1, 6}, {0, 7}, "a; b; c"},
        range_case{"no_selection_left_alone", "a; b", {-1, -1}, {-1, -1}, ""},
        range_case{"half_selection_left_alone", "a; b", {-1, 2}, {-1, 2}, ""}),
    test_support::row_name());

TEST(recipients, normalise_to_each_followed_by_a_semicolon) {
  const std::pair<QString, QString> rows[] = {
      {"a,b ;; c ", "a; b; c; "}, {" ; , ", ""}, {"x", "x; "}, {"", ""}};
  for (const auto& [text, expected] : rows) {
    SCOPED_TRACE(text.toStdString());
    EXPECT_EQ(normalized_recipients(text), expected);
  }
}

// What a paste or a drop puts over the selection it replaces: the Message
// field's rule and the To field's, in fields of a few characters and at the
// program's own limits.
TEST(field_limits, a_paste_keeps_what_fits_over_the_selection_it_replaces) {
  using test_support::numbered_list;
  const QString full(250, u'x');
  const QString hundreds = numbered_list("person%1@example.com", 500, ", ").chopped(2);
  const QString commas = numbered_list("p%1@example.com", 500, ",");
  const QString message_paste = QString(991, u'm') + " see you.";
  enum rule { plain, addresses };
  struct row {
    const char* name;
    rule kind;
    int limit;
    QString text;
    int start, end;
    QString offered;
    std::optional<QString> after;
    bool cut;
  };
  const row rows[] = {
      {"within the limit", plain, 4, "abc", 3, 3, "d", QString("abcd"), false},
      {"cut to what fits", plain, 4, "abc", 2, 2, "XYZ", QString("abXc"), true},
      {"nothing fits", plain, 4, "abcd", 3, 3, "X", std::nullopt, true},
      {"an over-full text takes no more", plain, 4, full, 250, 250, "y", std::nullopt, true},
      {"an over-full text takes what it loses", plain, 4, full, 0, 2, "XYZ", "XY" + full.mid(2),
       true},
      {"a pair of UTF-16 units fits whole or not at all", plain, 4, "abc", 2, 2,
       QString::fromUtf8("\U0001F600"), std::nullopt, true},
      {"an empty paste removes the selection", plain, 4, "abc", 0, 2, "", QString("c"), false},
      {"a paste over text it ends like keeps its own start", plain, 300, "see you.", 0, 8,
       message_paste, message_paste.left(300), true},
      {"a list that fits stands", addresses, 20, "", 0, 0, "ann@x.org, bob@y",
       QString("ann@x.org, bob@y"), false},
      {"a list is cut after its last whole address", addresses, 20, "", 0, 0,
       "ann@x.org; bob@example.com; c@z", QString("ann@x.org; "), true},
      {"no whole address fits", addresses, 20, "", 0, 0, "averyveryverylongaddress@example.com",
       std::nullopt, true},
      {"separators alone are no address", addresses, 20, "", 0, 0,
       ", ;averyveryverylongaddress@example.com", std::nullopt, true},
      {"a separator in the field after the paste parts it already", addresses, 20, ", z@w", 0, 0,
       "p@q.org,r@s.org,t@u.org", QString("p@q.org,r@s.org, z@w"), true},
      {"a list between two addresses keeps the second", addresses, 200,
       "first@example.com, last@example.com", 19, 19, commas,
       "first@example.com, " + commas.left(153) + "last@example.com", true},
      {"a list over all the text keeps no piece of an address", addresses, 200, "bob@example.com",
       0, 15, hundreds, hundreds.left(184), true},
      {"a list in lines becomes one address a line", addresses, 200, "", 0, 0,
       numbered_list("row%1@example.com", 5, "\n").chopped(1),
       numbered_list("row%1@example.com", 5, "; ").chopped(2), false},
      {"blank lines and a Windows line end make one separator", addresses, 200, "z@w", 0, 0,
       "a@x\r\n\r\n  b@y\r\n", QString("a@x; b@y; z@w"), false},
      {"a line break after a delimiter becomes a blank", addresses, 200, "", 0, 0,
       "a@x,\nb@y;\r\nc@z", QString("a@x, b@y; c@z"), false},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.name);
    const auto kept = r.kind == plain
                          ? limit_insertion(r.text, {r.start, r.end}, r.offered, r.limit)
                          : limit_recipients_paste(r.text, {r.start, r.end}, r.offered, r.limit);
    ASSERT_EQ(kept.has_value(), r.after.has_value());
    if (kept) {
      EXPECT_EQ(replaced_text(r.text, {r.start, r.end}, kept->text), *r.after);
      EXPECT_EQ(kept->left_out > 0, r.cut);
    }
  }
}

TEST(contact_list, orange_pieces_are_every_case_sensitive_occurrence) {
  using pieces = std::vector<contact_piece>;
  EXPECT_EQ(contact_pieces("ann@annex.org", "ann"),
            (pieces{{0, 3, true}, {3, 1, false}, {4, 3, true}, {7, 6, false}}));
  EXPECT_EQ(contact_pieces("Ann@x", "ann"), (pieces{{0, 5, false}}));
  EXPECT_EQ(contact_pieces("bob@x", ""), (pieces{{0, 5, false}}));
  EXPECT_EQ(contact_pieces("xab", "ab"), (pieces{{0, 1, false}, {1, 2, true}}));
  EXPECT_EQ(contact_pieces("aaaa", "aa"), (pieces{{0, 2, true}, {2, 2, true}}));
}

TEST(contact_list, cross_sits_centred_in_its_cell) {
  EXPECT_EQ(remove_glyph_in(QRect(100, 0, 24, 20)),
            (remove_glyph_geometry{QRect(106, 4, 12, 12), QRect(108, 6, 8, 8)}));
}

TEST(popup_sizes, grow_with_rows_plus_the_border) {
  EXPECT_EQ(contact_popup_size(200, 0, 3, 20), QSize(202, 62));
  EXPECT_EQ(contact_popup_size(0, 0, 0, 20), QSize(0, 0));
  EXPECT_EQ(option_popup_size(150, 15, 20), QSize(152, 302));
}

TEST(popup_places, under_the_anchor_and_inside_the_page) {
  // Under a link and under the To edit alike: left edges aligned, one
  // pixel below the bottom edge.
  EXPECT_EQ(popup_rect_under(QRect(10, 20, 50, 16), QSize(100, 80)), QRect(10, 37, 100, 80));
  EXPECT_EQ(popup_rect_under(QRect(90, 78, 567, 24), QSize(567, 62)), QRect(90, 103, 567, 62));
  EXPECT_EQ(rename_popup_x(700, 200, 800), 590);
  EXPECT_EQ(rename_popup_x(100, 200, 800), 100);
}

TEST(popup_places, the_cut_note_covers_no_control_where_it_can) {
  const QRect window(0, 0, 1000, 700);
  const QRect field(90, 78, 567, 24);
  const QSize note(430, 22);
  const QRect under(90, 103, 430, 22);
  const QRect above(90, 56, 430, 22);
  const QRect logo(0, 0, 1000, 56);
  const QRect from(90, 107, 567, 24);
  struct row {
    const char* name;
    QRect field;
    std::vector<QRect> controls;
    QRect place;
  };
  const row rows[] = {
      {"nothing under the field", field, {logo}, under},
      {"a field under it: above, clear of the panel over it", field, {logo, from}, above},
      {"no room above: under, over the field", field, {QRect(0, 0, 1000, 57), from}, under},
      {"above would leave the window",
       QRect(90, 10, 567, 24),
       {QRect(90, 40, 567, 24)},
       QRect(90, 35, 430, 22)},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(cut_note_place(r.field, note, window, r.controls), r.place);
  }
}

TEST(option_dot, sits_two_pixels_right_of_the_centre) {
  EXPECT_EQ(option_dot_rect(QRect(0, 0, 20, 20)), QRectF(8, 6, 8, 8));
  EXPECT_EQ(option_dot_rect(QRect(0, 10, 20, 25)), QRectF(7, 17, 10, 10));
}

TEST(size_rows, group_the_presets_under_their_kind) {
  const auto rows = make_size_rows(resize_option_manager::instance()->options());
  std::vector<QString> texts;
  for (const option_row& row : rows)
    texts.push_back(row.kind == 10 ? "[" + row.text + "]" : row.text);
  const std::vector<QString> expected{"Do not change", "Custom size...", "[HD]",      "2560 x 1440",
                                      "1920 x 1080",   "1280 x 720",     "[Wide]",    "2560 x 1600",
                                      "1920 x 1200",   "1680 x 1050",    "[Monitor]", "1600 x 1200",
                                      "1280 x 960",    "1024 x 768",     "800 x 600"};
  EXPECT_EQ(texts, expected);
  EXPECT_EQ(rows[4].option_index, 3);
}

TEST(size_rows, refuse_rows_without_an_option) {
  const auto& options = resize_option_manager::instance()->options();
  const auto rows = make_size_rows(options);
  const std::pair<int, const char*> failures[] = {
      {15, "cannot get resize_option from the list. index is out of range."},
      {-1, "cannot get resize_option from the list. index is out of range."},
      {2, "index points to an invalid option."}};
  for (const auto& [row, message] : failures) {
    SCOPED_TRACE(row);
    try {
      size_option_at(rows, options, row);
      ADD_FAILURE() << "no exception";
    } catch (const std::invalid_argument& error) {
      EXPECT_STREQ(error.what(), message);
    }
  }
  const std::vector<option_row> stale{{0, "gone", 99}};
  EXPECT_THROW(size_option_at(stale, options, 0), std::invalid_argument);
  EXPECT_EQ(size_option_at(rows, options, 4).width, 1920u);
}

TEST(size_rows, dot_follows_the_current_option) {
  struct row {
    photo_resize_option option, current;
    bool dot;
  };
  const row rows[] = {{{0, 0, 0}, {0, 0, 0}, true},
                      {{1, 0, 0}, {1, 1000, 500}, true},
                      {{2, 1280, 720}, {1, 1280, 720}, false},
                      {{2, 1280, 720}, {2, 1280, 720}, true},
                      {{2, 1920, 1080}, {2, 1280, 720}, false},
                      {{2, 1920, 1080}, {2, 1920, 720}, true},
                      {{2, 1280, 720}, {2, 1920, 720}, true},
                      {{3, 1920, 1200}, {2, 1920, 1080}, false}};
  for (const row& r : rows)
    EXPECT_EQ(is_current_size(r.option, r.current), r.dot)
        << r.option.kind << " " << r.option.width << " / " << r.current.kind;
}

TEST(format_rows, one_row_per_format_in_order) {
  std::vector<photo_convert_option> options;
  for (int format = 0; format <= 5; ++format)
    options.emplace_back(format);
  const auto rows = make_format_rows(options);
  std::vector<QString> texts;
  for (const option_row& row : rows)
    texts.push_back(row.text);
  EXPECT_EQ(texts, (std::vector<QString>{"Do not change", "BMP", "GIF", "JPEG", "PNG", "TIFF"}));
  photo_convert_option jpeg_95(3);
  photo_convert_option jpeg_50(3);
  jpeg_50.params.set_quality(50);
  EXPECT_TRUE(is_current_format(jpeg_95, jpeg_50));
  EXPECT_FALSE(is_current_format(options[4], jpeg_50));
}

}  // namespace
}  // namespace parvel
