#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "ui/theme/drawing.hpp"
#include "ui/theme/font_manager.hpp"
#include "ui/theme/window_value.hpp"

namespace {

TEST(theme_fonts, size_changes_keep_the_heights_sign) {
  struct row {
    int height;
    int n;
    int changed;
  };
  for (const row r : std::vector<row>{{-12, 6, -18},
                                      {-12, 3, -15},
                                      {-12, 2, -14},
                                      {-12, -1, -11},
                                      {16, 6, 22},
                                      {16, -1, 15},
                                      {0, 6, -6},
                                      {0, -1, 1},
                                      {-12, 0, -12}}) {
    SCOPED_TRACE(testing::Message() << r.height << " by " << r.n);
    EXPECT_EQ(parvel::theme::changed_height(r.height, r.n), r.changed);
  }
}

TEST(rounded_rect_metrics, corners_are_a_truncated_percentage_of_the_base) {
  struct row {
    const char* name;
    QPoint first, second;
    int percentage, base;
    parvel::rounded_rect_metrics_t expected;
  };
  for (const row& r : std::vector<row>{
           {"points out of order, base from the shorter side",
            {10, 40},
            {110, 0},
            20,
            0,
            {10, 0, 110, 40, 40, 8, 8}},
           {"a given base", {10, 40}, {110, 0}, 20, 100, {10, 0, 110, 40, 100, 20, 20}},
           {"truncated corner", {0, 0}, {50, 50}, 50, 33, {0, 0, 50, 50, 33, 16, 16}},
           {"an empty rectangle", {5, 5}, {5, 9}, 50, 0, {5, 5, 5, 9, 0, 0, 0}},
       }) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(parvel::rounded_rect_metrics(r.first, r.second, r.percentage, r.base), r.expected);
  }
}

TEST(measure_string, margins_of_a_tenth_and_a_fifth_truncated) {
  EXPECT_EQ(parvel::string_size_with_margins(100, 20), QSize(110, 24));
  EXPECT_EQ(parvel::string_size_with_margins(9.9, 4.9), QSize(10, 5));
  EXPECT_EQ(parvel::string_size_with_margins(0, 0), QSize(0, 0));
}

TEST(parse_window_number, only_a_whole_decimal_number_in_range_reads) {
  struct row {
    const char* text;
    int as_int;
    unsigned as_unsigned;
  };
  for (const row& r : std::vector<row>{
           {"42", 42, 42},
           {"-7", -7, 0},
           {"-1", -1, 0},  // no wrap to 4294967295
           {"+5", 5, 5},
           {"", 0, 0},
           {"4 2", 0, 0},
           {" 42", 0, 0},
           {"42 ", 0, 0},
           {"12a", 0, 0},
           {"0x10", 0, 0},
           {"99999999999", 0, 0},
           {"2147483647", 2147483647, 2147483647u},
           {"2147483648", 0, 2147483648u},
           {"-2147483648", std::numeric_limits<int>::min(), 0},
           {"4294967295", 0, 4294967295u},
           {"4294967296", 0, 0},
           {"-", 0, 0},
           {"+", 0, 0},
           {"+-5", 0, 0},
           {"--5", 0, 0},
           {"\u0664\u0662", 0, 0},  // Arabic-Indic digits
       }) {
    SCOPED_TRACE(r.text);
    const QString text = QString::fromUtf8(r.text);
    EXPECT_EQ(parvel::parse_window_number<int>(text), r.as_int);
    EXPECT_EQ(parvel::parse_window_number<unsigned int>(text), r.as_unsigned);
  }
}

}  // namespace
