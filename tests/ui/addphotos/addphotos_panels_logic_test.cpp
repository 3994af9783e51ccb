#include <gtest/gtest.h>

#include <QString>
#include <optional>
#include <utility>

#include "engine/options/resize_option_manager.hpp"
#include "ui/addphotos/addphotos_edit_panel_layout.hpp"
#include "ui/addphotos/addphotos_panel_alt_layout.hpp"

namespace parvel {
namespace {

TEST(panel_alt_layout, links_at_both_ends_with_separators) {
  const panel_alt_layout_input in{QRect(0, 0, 600, 30), QSize(80, 16), QSize(82, 16), QSize(50, 16),
                                  QSize(52, 16),        QSize(54, 16), QSize(4, 16)};
  const panel_alt_layout out = layout_panel_alt(in);
  EXPECT_EQ(out.add_files, QRect(0, 7, 80, 16));
  EXPECT_EQ(out.separators[0], QRect(80, 7, 20, 16));
  EXPECT_EQ(out.add_folder, QRect(100, 7, 82, 16));
  EXPECT_EQ(out.rename, QRect(546, 7, 54, 16));
  EXPECT_EQ(out.separators[1], QRect(526, 7, 20, 16));
  EXPECT_EQ(out.format, QRect(474, 7, 52, 16));
  EXPECT_EQ(out.separators[2], QRect(454, 7, 20, 16));
  EXPECT_EQ(out.resize, QRect(404, 7, 50, 16));
  // Narrow: the groups overlap, neither moves aside.
  panel_alt_layout_input narrow = in;
  narrow.client = QRect(0, 0, 200, 30);
  EXPECT_EQ(layout_panel_alt(narrow).resize.left(), 4);
  EXPECT_EQ(layout_panel_alt(narrow).add_folder.left(), 100);
}

TEST(edit_panel_layout, places_both_groups_and_shows_them_per_option) {
  struct row {
    const char* name;
    int kind, format;
    bool size_shown, quality_shown;
  };
  const row rows[] = {{"do not change, keep format", 0, 0, false, false},
                      {"custom size", 1, 0, true, false},
                      {"JPEG only", 0, 3, false, true},
                      {"custom size and JPEG", 1, 3, true, true},
                      {"preset and PNG", 2, 4, false, false}};
  for (const row& r : rows) {
    SCOPED_TRACE(r.name);
    const edit_panel_layout out =
        layout_edit_panel({QRect(0, 0, 300, 200), QSize(50, 14), QSize(30, 14), QSize(80, 15),
                           QSize(100, 15), r.kind, r.format});
    EXPECT_EQ(out.size_shown, r.size_shown);
    EXPECT_EQ(out.quality_shown, r.quality_shown);
    // The quality group keeps its place below the size group's.
    EXPECT_EQ(out.title, QRect(0, 0, 96, 18));
    EXPECT_EQ(out.width, QRect(0, 23, 50, 21));
    EXPECT_EQ(out.height, QRect(55, 23, 50, 21));
    EXPECT_EQ(out.quality_label, QRect(0, 54, 120, 18));
    EXPECT_EQ(out.quality, QRect(0, 77, 30, 21));
  }
}

TEST(edit_panel, size_fields_follow_the_current_option) {
  using texts = std::pair<QString, QString>;
  EXPECT_EQ(size_fields_for({0, 0, 0}, false), texts());
  EXPECT_EQ(size_fields_for({1, 0, 0}, false), texts());
  EXPECT_EQ(size_fields_for({1, 10, 0}, true), std::nullopt);
  EXPECT_EQ(size_fields_for({2, 1920, 1080}, false), texts("1920", "1080"));
  EXPECT_EQ(size_fields_for({4, 800, 600}, true), texts("800", "600"));
}

TEST(edit_panel, number_fields_read_what_is_no_number_as_zero) {
  struct row {
    QString width, height;
    unsigned w, h;
  };
  const row rows[] = {{"1024", "", 1024, 0},
                      {"-1", "x", 0, 0},
                      {"4294967296", "5", 0, 5},
                      {"00800", "600", 800, 600}};
  for (const row& r : rows) {
    SCOPED_TRACE(r.width.toStdString());
    const photo_resize_option typed = typed_custom_size(r.width, r.height);
    EXPECT_EQ(typed.kind, 1);
    EXPECT_EQ(typed.width, r.w);
    EXPECT_EQ(typed.height, r.h);
  }
  EXPECT_EQ(clamped_quality("150"), QString("100"));
  EXPECT_EQ(clamped_quality("101"), QString("100"));
  EXPECT_EQ(clamped_quality("100"), std::nullopt);
  EXPECT_EQ(clamped_quality("99"), std::nullopt);
  EXPECT_EQ(clamped_quality(""), std::nullopt);
}

}  // namespace
}  // namespace parvel
