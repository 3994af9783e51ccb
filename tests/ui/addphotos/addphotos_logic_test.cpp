#include <gtest/gtest.h>

#include <QString>
#include <QStringList>
#include <filesystem>
#include <string>
#include <vector>

#include "core/io/filesystem/file_sink.hpp"
#include "engine/photos/package_info.hpp"
#include "engine/user/user.hpp"
#include "tests/support/table.hpp"
#include "ui/addphotos/addphotos_form.hpp"
#include "ui/addphotos/addphotos_layout.hpp"
#include "ui/addphotos/frame_minimum.hpp"
#include "ui/addphotos/photo_list/addphotos_list.hpp"
#include "ui/addphotos/photo_list/byte_size.hpp"
#include "ui/addphotos/photo_list/photo_filters.hpp"

namespace parvel {
namespace {

// Labels 60 x 20, From label 40 wide, "TEXT" 16 high (so rows of 24 and gaps
// of 9), the Send text 80 x 16 (a button of 144 x 24).
addphotos_layout_input measured(QSize client, int status_bar, int action_panel) {
  return {client, QSize(60, 20), 40, 16, QSize(80, 16), status_bar, action_panel};
}

struct layout_case {
  std::string name;
  addphotos_layout_input input;
  QRect list, send, message_edit, checkbox, edit_panel, action_panel;
};

class page_layout : public testing::TestWithParam<layout_case> {};

TEST_P(page_layout, places_the_controls) {
  const layout_case& row = GetParam();
  const auto places = layout_addphotos_page(row.input);
  ASSERT_TRUE(places);
  EXPECT_EQ(places->row_height, 24);
  EXPECT_EQ(places->to_edit, QRect(90, 78, 567, 24));
  EXPECT_EQ(places->from_label, QRect(25, 111, 60, 24));
  EXPECT_EQ(places->counter, QRect(25, 210, 60, 24));
  EXPECT_EQ(places->message_edit, row.message_edit);
  EXPECT_EQ(places->checkbox, row.checkbox);
  EXPECT_EQ(places->edit_panel, row.edit_panel);
  EXPECT_EQ(places->action_panel, row.action_panel);
  EXPECT_EQ(places->list, row.list);
  EXPECT_EQ(places->photos_label.top(), row.list.top());
  EXPECT_EQ(places->send, row.send);
  EXPECT_EQ(places->logo_panel, QRect(0, 0, row.input.client.width(), 56));
  // Send sits 16 pixels above the status bar in every case.
  EXPECT_EQ(places->status_bar.y() - places->send.bottom() - 1, 16);
}

INSTANTIATE_TEST_SUITE_P(
    rows, page_layout,
    testing::Values(
        layout_case{"with_status_bar_and_action_panel", measured({1000, 700}, 22, 30),
                    QRect(90, 321, 890, 305), QRect(831, 638, 144, 24), QRect(90, 177, 567, 72),
                    QRect(90, 258, 567, 24), QRect(673, 78, 307, 171), QRect(90, 291, 890, 30)},
        layout_case{"without_panels_the_list_follows_the_checkbox", measured({1000, 700}, 0, 0),
                    QRect(90, 291, 890, 357), QRect(831, 660, 144, 24), QRect(90, 177, 567, 72),
                    QRect(90, 258, 567, 24), QRect(673, 78, 307, 171), QRect(90, 291, 890, 0)},
        layout_case{"too_short_a_window_gives_the_list_five_rows", measured({1000, 300}, 22, 30),
                    QRect(90, 321, 890, 120), QRect(831, 238, 144, 24), QRect(90, 177, 567, 72),
                    QRect(90, 258, 567, 24), QRect(673, 78, 307, 171), QRect(90, 291, 890, 30)}),
    test_support::row_name());

TEST(page_layout_empty, leaves_everything_in_place) {
  for (const QSize client : {QSize(0, 700), QSize(1000, 0), QSize(0, 0)}) {
    SCOPED_TRACE(testing::Message() << client.width() << " x " << client.height());
    EXPECT_FALSE(layout_addphotos_page(measured(client, 22, 30)));
  }
}

// The page's measures in DejaVu Sans 9 pt and in a CJK fallback font of the
// same size, whose taller lines make taller labels, fields, Send button,
// panels and picture lines (the client size is the window's minimum's).
struct font_case {
  std::string name;
  addphotos_layout_input input;
  empty_picture_lines lines;
  bool window_grows;
};

class font_heights : public testing::TestWithParam<font_case> {};

// At the window's minimum the empty list shows its art and both its lines
// whole, however tall the font.
TEST_P(font_heights, the_smallest_window_shows_the_empty_picture_whole) {
  const font_case& row = GetParam();
  const QSize art(128, 112);
  const QSize frame(750, 580);
  const QMargins decorations(1, 24, 1, 1);
  const int page_height =
      addphotos_height_for_list(row.input, empty_picture_height(art, row.lines));
  addphotos_layout_input input = row.input;
  input.client = frame_minimum_client_size(frame, decorations, QSize(0, page_height));
  EXPECT_EQ(input.client.height() > frame.height() - 25, row.window_grows);
  EXPECT_EQ(input.client.width(), frame.width() - 2);

  const auto places = layout_addphotos_page(input);
  ASSERT_TRUE(places);
  const empty_picture_places picture = place_empty_picture(places->list.size(), art, row.lines);
  EXPECT_GE(picture.image.y(), 0);
  EXPECT_LE(picture.second_line + row.lines.second, places->list.height());
}

INSTANTIATE_TEST_SUITE_P(
    rows, font_heights,
    testing::Values(font_case{"dejavu_sans_fits_the_fixed_minimum",
                              {{}, QSize(58, 16), 38, 14, QSize(75, 14), 22, 30},
                              {14, 14},
                              false},
                    font_case{"cjk_fallback_grows_the_window",
                              {{}, QSize(58, 20), 38, 18, QSize(75, 18), 26, 38},
                              {18, 18},
                              true},
                    font_case{"labels_taller_than_the_fields",
                              {{}, QSize(58, 40), 38, 14, QSize(75, 14), 22, 30},
                              {14, 14},
                              true}),
    test_support::row_name());

TEST(empty_picture, its_height_is_the_least_that_holds_both_lines_and_the_spare_rows) {
  const QSize art(128, 112);
  for (const empty_picture_lines lines :
       {empty_picture_lines{14, 14}, empty_picture_lines{18, 18}, empty_picture_lines{15, 16},
        empty_picture_lines{21, 20}}) {
    SCOPED_TRACE(testing::Message() << lines.first << ", " << lines.second);
    const int h = empty_picture_height(art, lines);
    const auto bottom = [&](int height) {
      return place_empty_picture(QSize(400, height), art, lines).second_line + lines.second;
    };
    EXPECT_EQ(bottom(h), h - 4);
    EXPECT_GT(bottom(h - 1), h - 1 - 4);
  }
}

TEST(frame_minimum, grows_to_the_page_and_leaves_out_the_decorations) {
  struct row {
    const char* name;
    QMargins decorations;
    QSize page;
    QSize client;
  };
  for (const row& r : {row{"no page minimum", {}, QSize(), QSize(750, 580)},
                       row{"a short page", {}, QSize(0, 400), QSize(750, 580)},
                       row{"a tall page", {}, QSize(0, 640), QSize(750, 640)},
                       row{"decorations", QMargins(1, 24, 1, 1), QSize(0, 500), QSize(748, 555)},
                       row{"decorations and a tall page", QMargins(1, 24, 1, 1), QSize(0, 600),
                           QSize(748, 600)}}) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(frame_minimum_client_size(QSize(750, 580), r.decorations, r.page), r.client);
  }
}

TEST(photo_columns, share_the_field_less_the_scroll_bar) {
  EXPECT_EQ(photo_column_widths(890, 0), std::make_pair(534, 356));
  EXPECT_EQ(photo_column_widths(890, 17), std::make_pair(534, 339));
  EXPECT_EQ(photo_column_widths(0, 0), std::make_pair(0, 0));
}

TEST(send_enabling, needs_from_to_and_a_photo) {
  struct row {
    const char* from;
    const char* to;
    std::size_t photos;
    bool allowed;
  };
  for (const row& r : {row{"me@x", "you@y", 1, true}, row{"me@x", "you@y", 0, false},
                       row{" \t ", "you@y", 3, false}, row{"me@x", "   ", 3, false},
                       row{"", "", 0, false}, row{" me ", " ; ", 1, true}}) {
    SCOPED_TRACE(testing::Message() << '"' << r.from << "\" \"" << r.to << "\" " << r.photos);
    EXPECT_EQ(send_allowed(QString::fromUtf8(r.from), QString::fromUtf8(r.to), r.photos),
              r.allowed);
  }
}

TEST(remaining_text, counts_down_from_three_hundred) {
  EXPECT_EQ(make_remaining_text(0), QStringLiteral("(300)"));
  EXPECT_EQ(make_remaining_text(12), QStringLiteral("(288)"));
  EXPECT_EQ(make_remaining_text(300), QStringLiteral("(0)"));
}

TEST(byte_size, two_decimals_and_the_largest_unit_below_1025) {
  struct row {
    std::uint64_t bytes;
    const char* text;
  };
  const std::uint64_t tb = 1024ull * 1024 * 1024 * 1024;
  for (const row& r : {row{0, "0.00 Bytes"}, row{500, "500.00 Bytes"}, row{1024, "1024.00 Bytes"},
                       row{1025, "1.00 Kb"}, row{2048, "2.00 Kb"}, row{1048576, "1024.00 Kb"},
                       row{1048577, "1.00 Mb"}, row{3 * 1024ull * 1024 * 1024, "3.00 Gb"},
                       row{5 * 1024 * tb, "5120.00 Tb"}}) {
    SCOPED_TRACE(r.bytes);
    EXPECT_EQ(format_byte_size(r.bytes), r.text);
  }
}

TEST(recipients, split_at_either_delimiter) {
  struct row {
    const char* text;
    QStringList recipients;
  };
  for (const row& r :
       {row{"a@x; b@y", {"a@x", "b@y"}}, row{" a@x , b@y ;c@z ", {"a@x", "b@y", "c@z"}},
        row{"a@x,,;;b@y", {"a@x", "b@y"}}, row{" ;, ; ,", {}}, row{"", {}}, row{"   ", {}},
        row{"one two", {"one two"}}}) {
    SCOPED_TRACE(r.text);
    EXPECT_EQ(split_recipients(QString::fromUtf8(r.text)), r.recipients);
  }
}

TEST(commit, stores_the_form_and_saves_new_recipients_sorted) {
  user& person = *user::instance();
  package_info& package = *person.get_package();
  person.contacts = {"zed@x"};
  int changes = 0;
  const boost::signals2::scoped_connection counting =
      person.signal_contacts_changed.connect([&] { ++changes; });

  const addphotos_form form{"bob@x; amy@x", "me@x ", "Holiday", "Look", true};
  commit_form(form, person, package);
  EXPECT_EQ(package.recipients, (std::vector<std::string>{"bob@x", "amy@x", "me@x "}));
  EXPECT_EQ(package.sender, "me@x ");
  EXPECT_EQ(package.subject, "Holiday");
  EXPECT_EQ(package.message, "Look");
  EXPECT_EQ(package.archive_name.substr(0, 3), "me-");
  EXPECT_EQ(person.contacts, (std::vector<std::string>{"amy@x", "bob@x", "zed@x"}));
  EXPECT_EQ(changes, 2);

  commit_form({"amy@x, zed@x", "me@x", "", "", false}, person, package);
  EXPECT_EQ(package.recipients, (std::vector<std::string>{"amy@x", "zed@x"}));
  EXPECT_EQ(person.contacts, (std::vector<std::string>{"amy@x", "bob@x", "zed@x"}));
  EXPECT_EQ(changes, 2);
}

TEST(commit, removes_the_archive_an_earlier_send_kept_for_its_retry) {
  user& person = *user::instance();
  package_info& package = *person.get_package();
  package.sender = "ann@x";
  package.make_archive_name();
  package.create_archive_file();
  const std::string kept = package.archive_path();
  package.archived = true;

  commit_form({"bob@x", "cy@x", "", "", false}, person, package);
  EXPECT_FALSE(std::filesystem::exists(kept));
  EXPECT_EQ(package.archive_name.substr(0, 3), "cy-");
}

TEST(dialog_filters, one_per_format_then_all_pictures_then_all_files) {
  const QStringList filters = make_dialog_filters();
  ASSERT_EQ(filters.size(), 9);
  const QStringList names{"BMP", "GIF", "JPEG", "PNG", "PSD", "RAW", "TIFF"};
  for (int i = 0; i < names.size(); ++i) {
    EXPECT_TRUE(filters[i].startsWith(names[i] + QStringLiteral(" (*.")))
        << filters[i].toStdString();
  }
  EXPECT_TRUE(filters[2].contains(QStringLiteral("(*.jpg *.jpeg *.jpe *.jif *.jfif *.jfi)")));
  const QString& all = filters[all_pictures_filter_index];
  EXPECT_TRUE(all.startsWith(QStringLiteral("All Picture Files (*.bmp")));
  for (const QString& format : filters.mid(0, 7)) {
    const QString patterns = format.section(QLatin1Char('('), -1).chopped(1);
    EXPECT_TRUE(all.contains(patterns)) << format.toStdString();
  }
  EXPECT_EQ(filters[8], QStringLiteral("All Files (*.*)"));
}

TEST(dialog_filters, descriptions_list_seven_patterns_and_specs_keep_all) {
  const std::vector<photo_filter_entry> entries = make_filter_text();
  ASSERT_EQ(entries.size(), 9u);
  const std::vector<photo_filter_entry> expected{
      {"BMP (*.bmp; *.dib)", "*.bmp;*.dib"},
      {"GIF (*.gif)", "*.gif"},
      {"JPEG (*.jpg; *.jpeg; *.jpe; *.jif; *.jfif; *.jfi)",
       "*.jpg;*.jpeg;*.jpe;*.jif;*.jfif;*.jfi"},
      {"PNG (*.png)", "*.png"},
      {"PSD (*.psd)", "*.psd"},
      {"RAW (*.3fr; *.arw; *.srf; *.sr2; *.bay; *.crw; *.cr2; ...)",
       "*.3fr;*.arw;*.srf;*.sr2;*.bay;*.crw;*.cr2;*.cap;*.iiq;*.eip;*.dcs;*.dcr;*.drf;*.k25;"
       "*.kdc;*.dng;*.erf;*.fff;*.mef;*.mos;*.mrw;*.nef;*.nrw;*.orf;*.ptx;*.pef;*.pxn;*.r3d;"
       "*.raf;*.raw;*.rw2;*.rwz;*.x3f"},
      {"TIFF (*.tif; *.tiff)", "*.tif;*.tiff"}};
  for (std::size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE(expected[i].description);
    EXPECT_EQ(entries[i], expected[i]);
  }
  std::string all_patterns;
  for (std::size_t i = 0; i < expected.size(); ++i)
    all_patterns += (i == 0 ? "" : ";") + expected[i].patterns;
  EXPECT_EQ(entries[7], (photo_filter_entry{"All Picture Files", all_patterns}));
  EXPECT_EQ(entries[8], (photo_filter_entry{"All Files", "*.*"}));
}

}  // namespace
}  // namespace parvel
