#include "core/graphics/image_target_size.hpp"

#include <gtest/gtest.h>

#include "core/graphics/image_modes.hpp"
#include "tests/support/table.hpp"

namespace {

using namespace core::graphics;

constexpr std::uint32_t archive_flags = fit_size | no_enlarge | match_orientation;
constexpr std::uint32_t thumbnail_flags = fit_size | no_enlarge;

struct size_case {
  const char* name;
  image_size image;
  image_size box;
  std::uint32_t flags;
  image_size expected_box;
  image_size expected_result;
  bool unchanged;
};

class resize_plan : public testing::TestWithParam<size_case> {};

TEST_P(resize_plan, gives_the_size_and_the_turned_box) {
  const size_case& c = GetParam();
  const image_resize_plan plan = plan_image_resize(c.image, c.box, c.flags);
  EXPECT_EQ(plan.box, c.expected_box);
  EXPECT_EQ(plan.result, c.expected_result);
  EXPECT_EQ(plan.unchanged, c.unchanged);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    sizes, resize_plan,
    testing::Values(
        //        name                             image         box           flags          turned box    result        unchanged
        size_case{"landscape_fits_landscape_box", {4000, 3000}, {1920, 1080}, fit_size,      {1920, 1080}, {1440, 1080}, false},
        size_case{"portrait_turns_the_box",       {3000, 4000}, {1920, 1080}, archive_flags, {1080, 1920}, {1080, 1440}, false},
        size_case{"portrait_without_matching",    {3000, 4000}, {1920, 1080}, fit_size,      {1920, 1080}, {810, 1080},  false},
        size_case{"square_image_never_turns",     {1000, 1000}, {1920, 1080}, archive_flags, {1920, 1080}, {1000, 1000}, true},
        size_case{"square_box_never_turns",       {3000, 4000}, {500, 500},   archive_flags, {500, 500},   {375, 500},   false},
        size_case{"thumbnail_of_small_image",     {100, 80},    {160, 160},   thumbnail_flags, {160, 160}, {100, 80},    true},
        size_case{"enlarges_without_no_enlarge",  {100, 80},    {160, 160},   fit_size,      {160, 160},   {160, 128},   false},
        size_case{"rounds_half_up",               {10, 5},      {5, 100},     fit_size,      {5, 100},     {5, 3},       false},
        size_case{"zero_box_width_turns",         {4000, 3000}, {0, 1080},    archive_flags, {1080, 0},    {0, 0},       true},
        size_case{"zero_image",                   {0, 0},       {1920, 1080}, archive_flags, {1920, 1080}, {0, 0},       true},
        size_case{"exact_ignores_fit",            {4000, 3000}, {640, 640},   exact_size | fit_size, {640, 640}, {640, 640}, false},
        size_case{"exact_same_width_keeps_image", {640, 480},   {640, 200},   exact_size,    {640, 200},   {640, 200},   true},
        size_case{"no_flags_takes_the_box",       {4000, 3000}, {300, 200},   match_orientation, {300, 200}, {300, 200}, false},
        size_case{"huge_box_saturates",           {1, 1},       {4294967295U, 4294967295U}, fit_size,
                  {4294967295U, 4294967295U}, {4294967295U, 4294967295U}, false}),
    test_support::row_name());
// clang-format on

}  // namespace
