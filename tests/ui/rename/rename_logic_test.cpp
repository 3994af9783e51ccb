#include <gtest/gtest.h>

#include <QString>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "core/io/l10n/load_localization.hpp"
#include "core/io/l10n/localization_table.hpp"
#include "engine/options/photo_convert_option.hpp"
#include "engine/options/photo_resize_option.hpp"
#include "engine/photos/package_info.hpp"
#include "engine/rename/rename_alg_counter.hpp"
#include "engine/rename/rename_alg_replace.hpp"
#include "ui/addphotos/addphotos_logo_panel_layout.hpp"
#include "ui/addphotos/addphotos_statusbar_layout.hpp"
#include "ui/addphotos/addphotos_statusbar_texts.hpp"
#include "ui/rename/rename_item_values.hpp"
#include "ui/rename/rename_layout.hpp"
#include "ui/rename/rename_preview.hpp"
#include "ui/rename/rename_scheme.hpp"

namespace parvel {
namespace {

using algs = std::vector<std::shared_ptr<rename_alg>>;

std::vector<std::string> apply_all(rename_alg& scheme, const std::vector<std::string>& stems) {
  std::vector<std::string> out;
  for (const std::string& stem : stems)
    out.push_back(scheme.apply(stem));
  return out;
}

TEST(rename_scheme, units_build_the_strategy_they_show) {
  const auto keep = [] {
    return std::shared_ptr<rename_alg>(std::make_shared<rename_alg_replace>());
  };
  const struct {
    const char* name;
    algs parts;
    std::vector<std::string> stems;
    std::vector<std::string> expected;
  } rows[] = {
      {"default scheme keeps names",
       {make_text_alg(""), keep(), make_text_alg("")},
       {"a", "b"},
       {"a", "b"}},
      {"prefix",
       {make_text_alg("img_"), keep(), make_text_alg("")},
       {"a", "b"},
       {"img_a", "img_b"}},
      {"suffix", {make_text_alg(""), keep(), make_text_alg("_x")}, {"a"}, {"a_x"}},
      {"counter with start and digits",
       {make_text_alg("IMG_"), make_counter_alg({1, 4}), make_text_alg("")},
       {"a", "b"},
       {"IMG_0001", "IMG_0002"}},
      {"counter wider than its digits is whole",
       {make_counter_alg({998, 3})},
       {"a", "b", "c"},
       {"998", "999", "1000"}},
      {"counter without digits does not fill", {make_counter_alg({5, 0})}, {"a", "b"}, {"5", "6"}},
      {"text in place of the name",
       {make_text_alg("p"), make_text_alg("name"), make_text_alg("s")},
       {"a"},
       {"pnames"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const std::shared_ptr<rename_alg> scheme = chain_rename_algs(row.parts);
    ASSERT_NE(scheme, nullptr);
    EXPECT_EQ(apply_all(*scheme, row.stems), row.expected);
    scheme->reset();
    EXPECT_EQ(apply_all(*scheme, row.stems), row.expected) << "reset numbers from the start";
  }
  EXPECT_EQ(chain_rename_algs({}), nullptr);
}

TEST(rename_scheme, schemes_choose_the_filename_item) {
  EXPECT_EQ(filename_item_of_scheme(1), filename_item_do_not_change);
  EXPECT_EQ(filename_item_of_scheme(2), filename_item_counter);
  EXPECT_EQ(filename_item_of_scheme(0), std::nullopt);
  EXPECT_EQ(scheme_of_list_entry(0), 1);
  EXPECT_EQ(scheme_of_list_entry(1), 2);
  EXPECT_EQ(list_entry_of_scheme(2), 1);
  EXPECT_EQ(list_entry_of_scheme(7), 0);
}

TEST(rename_item_values, counter_saves_and_loads) {
  core::key_value_params params;
  save_counter_values(params, {25, 3});
  EXPECT_EQ(params.get<std::string>("init_value"), "25");
  EXPECT_EQ(params.get<std::string>("step"), "1");
  EXPECT_EQ(params.get<std::string>("digits"), "3");
  EXPECT_EQ(load_counter_values(params), (counter_values{25, 3}));

  EXPECT_EQ(load_counter_values(core::key_value_params{}), (counter_values{0, 1}))
      << "missing keys give the defaults";
  core::key_value_params unreadable;
  unreadable["init_value"] = "x";
  unreadable["digits"] = "-2";
  EXPECT_EQ(load_counter_values(unreadable), (counter_values{0, 0}));

  core::key_value_params texts;
  texts["prefix_text"] = "img_";
  EXPECT_EQ(load_text_value(texts, "prefix_text"), "img_");
  EXPECT_EQ(load_text_value(texts, "suffix_text"), "");
}

TEST(rename_preview, rows_show_the_names_the_archive_stores) {
  const struct {
    const char* name;
    std::vector<std::string> photos;
    algs parts;
    preview_rows expected;
  } rows[] = {
      {"no photos show the samples unchanged",
       {},
       {make_text_alg(""), std::make_shared<rename_alg_replace>(), make_text_alg("")},
       {{"test_image_a.jpg", "test_image_a.jpg"}, {"test_image_b.tiff", "test_image_b.tiff"}}},
      {"prefix on the samples",
       {},
       {make_text_alg("x"), std::make_shared<rename_alg_replace>()},
       {{"test_image_a.jpg", "xtest_image_a.jpg"}, {"test_image_b.tiff", "xtest_image_b.tiff"}}},
      {"sequence numbers count in sorted order",
       {"z.png", "a.jpg", "m.gif"},
       {make_text_alg(""), make_counter_alg({1, 3}), make_text_alg("")},
       {{"a.jpg", "001.jpg"}, {"z.png", "002.png"}}},
      {"equal names make one row", {"same.jpg", "same.jpg"}, {}, {{"same.jpg", "same.jpg"}}},
      {"separators and control characters are made safe",
       {"a.jpg"},
       {make_text_alg("../x/\\\x01"), std::make_shared<rename_alg_replace>()},
       {{"a.jpg", ".._x___a.jpg"}}},
      {"a dot-dot name is made safe", {"x"}, {make_text_alg("..")}, {{"x", "__"}}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    preview_rows preview = make_preview_rows(row.photos);
    const std::shared_ptr<rename_alg> scheme = chain_rename_algs(row.parts);
    refresh_preview(preview, scheme.get());
    EXPECT_EQ(preview, row.expected);
  }
}

TEST(rename_preview, sequence_rows_restart_at_every_refresh) {
  preview_rows preview = make_preview_rows({});
  const std::shared_ptr<rename_alg> counter = make_counter_alg({1, 3});
  refresh_preview(preview, counter.get());
  refresh_preview(preview, counter.get());
  EXPECT_EQ(preview.at("test_image_a.jpg"), "001.jpg");
  EXPECT_EQ(preview.at("test_image_b.tiff"), "002.tiff");
}

// A counter that holds the send inside its renaming until told to go on.
class gated_counter final : public rename_alg {
 public:
  std::string apply(const std::string& stem) override {
    {
      std::unique_lock lock(mutex_);
      entered_ = true;
      changed_.notify_all();
      changed_.wait_for(lock, std::chrono::seconds(5), [this] { return released_; });
    }
    return inner_.apply(stem);
  }
  void reset() override { inner_.reset(); }

  bool wait_entered() {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::seconds(5), [this] { return entered_; });
  }
  void release() {
    std::lock_guard lock(mutex_);
    released_ = true;
    changed_.notify_all();
  }

 private:
  rename_alg_counter inner_{1, 2};
  std::mutex mutex_;
  std::condition_variable changed_;
  bool entered_ = false;
  bool released_ = false;
};

TEST(rename_scheme, replacing_the_scheme_during_a_send_keeps_its_names) {
  package_info photos;
  std::vector<photo_entry> entries;
  for (const char* name : {"/p/a.jpg", "/p/b.jpg", "/p/c.jpg"}) {
    photo_entry entry;
    entry.path = name;
    entries.push_back(entry);
  }
  photos.add_entries(entries);
  const auto gate = std::make_shared<gated_counter>();
  store_rename_scheme(photos, gate);
  int changes = 0;
  photos.signal_rename_changed.connect([&] { ++changes; });

  std::thread send([&] { photos.rename_all(); });
  ASSERT_TRUE(gate->wait_entered());
  std::atomic<bool> stored{false};
  std::thread popup([&] {
    store_rename_scheme(photos, chain_rename_algs({make_text_alg("new_")}));
    stored = true;
  });
  gate->release();
  send.join();
  popup.join();

  std::vector<std::string> names;
  for (const photo_entry& entry : photos.photos())
    names.push_back(entry.target_name);
  EXPECT_EQ(names, (std::vector<std::string>{"01.jpg", "02.jpg", "03.jpg"}));
  EXPECT_TRUE(stored);
  EXPECT_EQ(changes, 1);
  photos.rename_all();
  EXPECT_EQ(photos.photos().front().target_name, "new_.jpg") << "the next send takes the new one";
}

TEST(status_bar_texts, fields_follow_counts_sizes_and_options) {
  const std::shared_ptr<rename_alg> keep = std::make_shared<rename_alg_replace>();
  const std::shared_ptr<rename_alg> prefix =
      chain_rename_algs({make_text_alg("img_"), keep, make_text_alg("")});
  const std::shared_ptr<rename_alg> counter =
      chain_rename_algs({make_text_alg(""), make_counter_alg({1, 3}), make_text_alg("")});
  const struct {
    const char* name;
    QString text;
    QString expected;
  } rows[] = {
      {"no photos", selected_field_text("[1] files selected ([2])", 0, "0.00 bytes"),
       "0 files selected (0.00 bytes)"},
      {"three photos", selected_field_text("[1] files selected ([2])", 3, "2.50 Mb"),
       "3 files selected (2.50 Mb)"},
      {"keeping the format shows nothing",
       convert_field_text("Convert: [1]", photo_convert_option(0)), ""},
      {"JPEG", convert_field_text("Convert: [1]", photo_convert_option(3)), "Convert: JPEG"},
      {"keeping the size shows nothing", resize_field_text("Resize: [1]", {0, 0, 0}), ""},
      {"HD size", resize_field_text("Resize: [1]", {2, 1920, 1080}), "Resize: 1920 x 1080"},
      {"custom size not yet typed", resize_field_text("Resize: [1]", {1, 0, 0}), "Resize: 0 x 0"},
      {"no scheme", rename_field_text("Rename: [1]", nullptr), ""},
      {"a scheme keeping names", rename_field_text("Rename: [1]", keep.get()), ""},
      {"prefix", rename_field_text("Rename: [1]", prefix.get()), "Rename: img_*.*"},
      {"counter", rename_field_text("Rename: [1]", counter.get()), "Rename: 001.*"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(row.text, row.expected);
  }
}

TEST(status_bar_texts, culture_texts_that_do_not_fit_their_values_never_throw) {
  core::io::l10n::localization_table table;
  core::io::l10n::load_localization(table, R"(<?xml version="1.0" encoding="utf-8"?>
<localization xmlns="http://www.lumbrel.example/schemas/localization/2009" culture="xx-XX">
  <string id="status_files_selected">[1] Dateien</string>
  <string id="status_files_convert">Umwandeln</string>
  <string id="status_files_resize">100% [1]</string>
  <string id="status_files_rename">[2] [1]</string>
</localization>)");
  const auto text = [&](const char* id) { return QString::fromStdString(table.text(id)); };
  EXPECT_EQ(selected_field_text(text("status_files_selected"), 3, "1.00 Kb"), "3 Dateien");
  EXPECT_EQ(convert_field_text(text("status_files_convert"), photo_convert_option(4)), "Umwandeln");
  EXPECT_NO_THROW(resize_field_text(text("status_files_resize"), {2, 1280, 720}));
  EXPECT_NO_THROW(rename_field_text(text("status_files_rename"), make_text_alg("x").get()));
}

TEST(status_bar_layout, empty_fields_close_up) {
  const struct {
    const char* name;
    std::vector<QSize> fields;
    std::vector<QPoint> expected;
    int content_width;
    int height;
  } rows[] = {
      {"selected only",
       {{100, 20}, {0, 0}, {0, 0}, {0, 0}},
       {{2, 2}, {103, 2}, {104, 2}, {105, 2}},
       105,
       23},
      {"convert hidden, resize moves left",
       {{100, 20}, {0, 0}, {80, 22}, {60, 20}},
       {{2, 2}, {103, 2}, {104, 2}, {185, 2}},
       245,
       25},
      {"every field empty keeps the bar", {{0, 0}, {0, 0}}, {{2, 2}, {3, 2}}, 3, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const status_bar_layout places = layout_status_bar(row.fields);
    EXPECT_EQ(places.fields, row.expected);
    EXPECT_EQ(places.content_width, row.content_width);
    EXPECT_EQ(status_bar_height(places.tallest), row.height);
  }
  EXPECT_EQ(status_field_size({0, 0}), QSize(0, 0));
  EXPECT_EQ(status_field_size({40, 15}), QSize(42, 17));
  EXPECT_EQ(status_text_size(100.0, 15.0), QSize(110, 16));
}

TEST(rename_layout, items_units_and_popup) {
  EXPECT_EQ(text_field_size({9, 15}), QSize(72, 22));
  const counter_item_measure counter = measure_counter_item({30, 15}, {50, 15}, {40, 15});
  EXPECT_EQ(counter.field, QSize(42, 22));
  EXPECT_EQ(counter.label_column, 50);
  EXPECT_EQ(counter.row_height, 22);
  EXPECT_EQ(counter.preferred, QSize(102, 52));
  const counter_item_layout places = layout_counter_item(counter, 30, 60);
  EXPECT_EQ(places.start_label, QRect(32, 7, 50, 22));
  EXPECT_EQ(places.digits_field, QRect(84, 31, 42, 22));

  const item_measure empty = measure_item({0, 0}, {80, 15});
  EXPECT_TRUE(empty.empty);
  EXPECT_EQ(empty.size, QSize(84, 15)) << "do-not-change is its name label alone";
  EXPECT_EQ(item_label_place({80, 15}, 30), QRect(2, 7, 80, 15));

  EXPECT_EQ(unit_size({{100, 30}, {150, 60}}, {40, 18}, 0), QSize(165, 85));
  EXPECT_EQ(unit_size({{100, 30}}, {40, 18}, 90), QSize(110, 90)) << "minimum height";
  EXPECT_EQ(unit_item_place({110, 90}, {100, 30}, 18), QRect(5, 39, 100, 30));

  rename_popup_layout_input input;
  input.label = {100, 15};
  input.list_text = {110, 15};
  input.apply_text = {40, 15};
  input.reset_text = {38, 15};
  input.units = {{120, 60}, {165, 85}, {120, 60}};
  input.client = {420, 250};
  const rename_popup_layout popup = layout_rename_popup(input);
  EXPECT_EQ(popup.unit_height, 85);
  EXPECT_EQ(popup.preview_origin, QPoint(4, 85 + 19 + 24));
  EXPECT_EQ(popup.preferred, QSize(421, 230));
  EXPECT_EQ(popup.list, QRect(112, 4, 304, 19));
  EXPECT_EQ(popup.units[1], QRect(128, 35, 165, 85));
  EXPECT_EQ(popup.apply, QRect(328, 224, 88, 22));
  EXPECT_EQ(popup.reset, QRect(4, 224, 86, 22));

  const preview_layout preview =
      layout_preview(QRect(8, 8, 404, 234), {4, 128}, 15, 300, 15, {16, 16}, 2);
  ASSERT_EQ(preview.rows.size(), 2u);
  EXPECT_EQ(preview.rows[0].name, QRect(8, 147, 182, 16)) << "names take at most half";
  EXPECT_EQ(preview.rows[0].arrow, QRect(194, 147, 16, 16));
  EXPECT_EQ(preview.rows[1].result.topLeft(), QPoint(8 + 182 + 16 + 8, 167));
}

TEST(logo_panel_layout, logo_headline_and_link) {
  const logo_panel_layout places = layout_logo_panel({800, 56}, {216, 52}, {200, 20}, {40, 18});
  EXPECT_EQ(places.link, QRect(2, 2, 216, 52));
  EXPECT_FALSE(places.link.contains(QPoint(218, 10))) << "right edge misses";
  EXPECT_FALSE(places.link.contains(QPoint(10, 54))) << "bottom edge misses";
  EXPECT_TRUE(places.link.contains(QPoint(2, 2))) << "left and top edges hit";
  EXPECT_EQ(places.headline, QPointF(110, 56 - 22.0));
  EXPECT_DOUBLE_EQ(places.addition.x(), 310);
}

}  // namespace
}  // namespace parvel
