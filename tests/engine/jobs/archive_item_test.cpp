#include "engine/jobs/archive_item.hpp"

#include <gtest/gtest.h>

#include "core/graphics/image_format.hpp"
#include "engine/jobs/unique_entry_names.hpp"
#include "engine/options/convert_option_manager.hpp"
#include "engine/options/resize_option_manager.hpp"
#include "tests/support/table.hpp"

namespace {

namespace formats = core::graphics::image_formats;
using strings = std::vector<std::string>;

struct plan_case {
  const char* name;
  // Each photo's file name, or "file name>target name" for a renamed photo.
  strings photos;
  core::graphics::image_format convert;
  std::int32_t resize_kind;
  // Entry names, each with "*" after it when the photo is converted.
  strings entries;
};

class archive_plan : public testing::TestWithParam<plan_case> {};

TEST_P(archive_plan, names_entries_by_the_last_dot) {
  const plan_case& c = GetParam();
  parvel::convert_option_manager::instance()->set_current(parvel::photo_convert_option(c.convert));
  parvel::resize_option_manager::instance()->set_current({c.resize_kind, 800, 600});
  std::vector<parvel::photo_entry> photos;
  for (const std::string& photo : c.photos) {
    const std::size_t arrow = photo.find('>');
    photos.push_back({"/photos/" + photo.substr(0, arrow),
                      0,
                      {},
                      arrow == std::string::npos ? "" : photo.substr(arrow + 1)});
  }
  parvel::unique_entry_names names;
  strings entries;
  for (const parvel::archive_item& item : parvel::plan_archive_items(photos, names)) {
    entries.push_back(item.entry_name + (item.conversion ? "*" : ""));
  }
  EXPECT_EQ(entries, c.entries);
  parvel::convert_option_manager::instance()->set_current(parvel::photo_convert_option(0));
  parvel::resize_option_manager::instance()->set_current({0, 0, 0});
}

INSTANTIATE_TEST_SUITE_P(
    photos, archive_plan,
    testing::Values(plan_case{"psd_and_raw_go_unchanged_whatever_the_options",
                              {"a.psd", "b.NEF", "c.jpg>.psd", "d.psd>.psd"},
                              formats::png,
                              2,
                              {"a.psd", "b.NEF", ".psd", "(1).psd"}},
                    plan_case{"converted_names_replace_only_the_last_extension",
                              {"a.b.jpg", "c.jpg>.jpg", "e.tif>x."},
                              formats::png,
                              0,
                              {"a.b.png*", ".png*", "x.png*"}},
                    plan_case{"resized_photos_keep_their_extension",
                              {"a.JPG", "b.gif"},
                              formats::none,
                              2,
                              {"a.JPG*", "b.gif*"}},
                    plan_case{
                        "names_windows_refuses_are_made_safe_before_they_are_unique",
                        {"12:00:00.jpg", "12_00_00.jpg", "a?b.png>trip. ", "x.jpg>what*<>|\".jpg"},
                        formats::none,
                        0,
                        {"12_00_00.jpg", "12_00_00(1).jpg", "trip__", "what_____.jpg"}}),
    test_support::row_name());

}  // namespace
