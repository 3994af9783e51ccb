#include <gtest/gtest.h>

#include <QString>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "engine/options/resize_option_manager.hpp"
#include "tests/support/table.hpp"
#include "ui/addphotos/addphotos_convert_rows.hpp"
#include "ui/addphotos/addphotos_panel_alt_layout.hpp"
#include "ui/addphotos/addphotos_resize_rows.hpp"
#include "ui/addphotos/recipients/addphotos_contact_match.hpp"
#include "ui/addphotos/recipients/addphotos_contact_popup.hpp"
#include "ui/addphotos/recipients/recipients_text.hpp"

namespace parvel {
namespace {

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

// A field of 4 characters (the Message field's rule) and the To field's rule
// in a field of 20.
TEST(recipients, typing_stops_at_the_limit_but_the_program_does_not) {
  const auto plain = [](const QString& before, const QString& after, int cursor) {
    return limit_user_edit(before, after, cursor, 4);
  };
  const auto addresses = [](const QString& before, const QString& after, int cursor) {
    return limit_recipients_edit(before, after, cursor, 20);
  };
  const QString full(250, u'x');
  const QString list = "ann@x.org; bob@y.org";
  struct row {
    const char* name;
    std::function<std::optional<limited_edit>(const QString&, const QString&, int)> limit;
    QString before, after;
    int cursor;
    std::optional<QString> text;
    int expected_cursor;
  };
  const row rows[] = {
      {"within the limit", plain, "abc", "abcd", 4, QString("abcd"), 4},
      {"paste cut to what fits", plain, "abc", "abXYZc", 5, QString("abXc"), 3},
      {"nothing fits", plain, "abcd", "abcXd", 4, std::nullopt, 0},
      {"over-full text refuses typing", plain, full, full + "y", 251, std::nullopt, 0},
      {"over-full text may shrink", plain, full, full.left(249), 249, full.left(249), 249},
      {"a pair of UTF-16 units fits whole or not at all", plain, "abc",
       QString::fromUtf8("ab\U0001F600c"), 4, QString("abc"), 2},
      {"a list that fits stands", addresses, "", "ann@x.org, bob@y", 16,
       QString("ann@x.org, bob@y"), 16},
      {"a list is cut at its last separator before the limit", addresses, "",
       "ann@x.org; bob@example.com; c@z", 31, QString("ann@x.org;"), 10},
      {"a cut just after an address keeps it", addresses, "", "ann@x.org;bob@y.org;cy@z", 24,
       QString("ann@x.org;bob@y.org"), 19},
      {"white space separates too", addresses, "", "ann@x.org\nbob@example.com", 25,
       QString("ann@x.org"), 9},
      {"no whole address fits", addresses, "", "averyveryverylongaddress@example.com", 36,
       std::nullopt, 0},
      {"a list pasted between addresses keeps what follows", addresses, "x@y; z@w",
       "x@y; p@q.org, r@s.org, z@w", 23, QString("x@y; p@q.org,z@w"), 13},
      {"typing at the To field's limit is refused", addresses, list, list + "x", 21, std::nullopt,
       0},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.name);
    const auto edit = r.limit(r.before, r.after, r.cursor);
    ASSERT_EQ(edit.has_value(), r.text.has_value());
    if (edit) {
      EXPECT_EQ(edit->text, *r.text);
      EXPECT_EQ(edit->cursor, r.expected_cursor);
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
