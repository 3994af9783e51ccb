#include "core/graphics/gdip/conversion_memory.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>

#include "core/graphics/gdip/gdiplus_exception.hpp"
#include "core/graphics/image_modes.hpp"
#include "tests/core/graphics/crafted_images.hpp"
#include "tests/support/image_codecs.hpp"
#include "tests/support/sample_images.hpp"
#include "tests/support/table.hpp"
#include "tests/support/temp_folder.hpp"

namespace {

using namespace core::graphics;
constexpr std::uint64_t mib = std::uint64_t{1} << 20;

struct memory_case {
  const char* name;
  std::function<std::string()> file;  // empty: no file at all
  std::optional<image_size> box;
  const char* target;
  // Bounds of the estimate; none expected when most_working is 0.
  std::uint64_t least_working, most_working, least_encoded, most_encoded;
  bool refused = false;  // holding more of the whole image than one image may
  // What the caller holds beside the conversion: its encoded image and copies.
  std::uint64_t held_beside = 0;
  // The file's size once a hole pads it, which costs no disk; 0: as written.
  std::uint64_t padded_to = 0;
};

class conversion_memory : public testing::TestWithParam<memory_case> {
 protected:
  void SetUp() override { test_support::register_image_codecs(); }
  test_support::temp_folder folder_;
};

TEST_P(conversion_memory, bounds_what_the_conversion_holds) {
  const memory_case& c = GetParam();
  const std::string path = folder_.file("photo");
  if (c.file) {
    test_support::write_file(path, c.file());
  }
  if (c.padded_to != 0) {
    std::filesystem::resize_file(path, c.padded_to);
  }
  const auto memory = gdip::estimate_conversion_memory(
      path, c.box, fit_size | no_enlarge | match_orientation, c.target);
  if (c.most_working == 0) {
    EXPECT_FALSE(memory);
    return;
  }
  ASSERT_TRUE(memory);
  EXPECT_GE(memory->working, c.least_working);
  EXPECT_LE(memory->working, c.most_working);
  EXPECT_GE(memory->encoded, c.least_encoded);
  EXPECT_LE(memory->encoded, c.most_encoded);
  try {
    gdip::check_conversion_memory(path, *memory, c.held_beside);
    EXPECT_FALSE(c.refused);
  } catch (const gdip::gdiplus_exception& e) {
    EXPECT_TRUE(c.refused) << e.what();
    EXPECT_EQ(e.status(), gdip::status::out_of_memory);
  }
}

constexpr std::uint64_t panorama = std::uint64_t{20000} * 15000;
// RGBA, 68 KB short of the decode budget.
constexpr std::uint64_t gif_9158_frame = std::uint64_t{9158} * 9158 * 4;

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    photos, conversion_memory,
    testing::Values(
        memory_case{"panorama_resized_decodes_shrunk_strips", [] { return test_support::jpeg_claiming(20000, 15000, ".jpg"); },
                    image_size{1920, 1080}, "p.jpg", 1 * mib, 16 * mib, 1440 * 1080, 1440 * 1080 * 3},
        memory_case{"panorama_kept_at_its_size_reads_full_strips", [] { return test_support::jpeg_claiming(20000, 15000, ".jpg"); },
                    std::nullopt, "p.png", 16 * mib, 64 * mib, panorama * 3, panorama * 3},
        memory_case{"progressive_panorama_holds_its_coefficients", [] { return test_support::jpeg_claiming(20000, 15000, ".jpg[interlace]"); },
                    image_size{1920, 1080}, "p.jpg", panorama * 3, panorama * 6, 1440 * 1080, 1440 * 1080 * 3, true},
        // Y sampled 2 x 1, each chroma 1 x 1: two bytes a pixel's coefficient
        // for Y, half that for each chroma.
        memory_case{"progressive_4_2_2_holds_each_planes_coefficients", [] { return test_support::progressive_jpeg_claiming(8192, 8192, 0x21, 0x11, 0x11); },
                    image_size{1920, 1080}, "p.jpg", 256 * mib, 257 * mib, 1080 * 1080, 1080 * 1080},
        // Held whole, it converts alone; kept at its size, its encoded image
        // and that image's deflated copy no longer fit beside it.
        memory_case{"progressive_100_megapixels_converts_alone", [] { return test_support::progressive_jpeg_claiming(11648, 8736, 0x22, 0x11, 0x11); },
                    image_size{1920, 1080}, "p.jpg", 291 * mib, 292 * mib, 1440 * 1080, 1440 * 1080, false, 20 * mib},
        memory_case{"progressive_100_megapixels_at_its_size_is_refused", [] { return test_support::progressive_jpeg_claiming(11648, 8736, 0x22, 0x11, 0x11); },
                    std::nullopt, "p.jpg", 291 * mib, 292 * mib, 11648 * 8736, 11648 * 8736, true, 144 * mib},
        // Read a row at a time, a single strip holds its compressed bytes.
        memory_case{"single_strip_lzw_16_bit_tiff_streams", [] { return test_support::tiff_claiming({4960, 7016, false, 7016, 0, 16, 5}); },
                    image_size{1920, 1080}, "p.jpg", 4960 * 4096, 4960 * 4096 + 64, 1080 * 1528, 1080 * 1528},
        // Its rows read in strips, a piece of its file on each thread.
        memory_case{"bmp_reads_its_rows_in_strips", [] { return test_support::bmp_claiming(20000, 20000); },
                    image_size{1920, 1080}, "p.jpg", 20000 * 2048, 20000 * 2048 + 32 * mib, 1080 * 1080, 1080 * 1080},
        memory_case{"planar_tiff_with_a_strip_a_plane_is_held_by_its_area", [] { return test_support::tiff_claiming({20000, 15000, true, 15000}); },
                    image_size{1920, 1080}, "p.jpg", panorama * 3, panorama * 4, 1440 * 1080, 1440 * 1080, true},
        memory_case{"tiff_tiles_hold_two_rows_of_tiles", [] { return test_support::tiff_claiming({20000, 15000, false, 0, 512}); },
                    image_size{1920, 1080}, "p.jpg", 20480 * 1024 * 3, 128 * mib, 1440 * 1080, 1440 * 1080},
        memory_case{"gif_target_quantises_the_whole_frame", [] { return test_support::jpeg_claiming(4000, 3000); },
                    std::nullopt, "p.gif", 4000 * 3000 * 14, 4000 * 3000 * 15, 4000 * 3000, 4000 * 3000},
        memory_case{"gif_target_of_45_megapixels_is_refused", [] { return test_support::jpeg_claiming(8256, 5504); },
                    std::nullopt, "p.gif", 8256 * 5504 * 14, 8256 * 5504 * 15, 8256 * 5504, 8256 * 5504, true},
        // Its loader holds the bytes up to its first image's end beside the frame.
        memory_case{"gif_padded_to_30_gb_costs_its_image_alone", [] { return test_support::encode(test_support::flat(64, 48, {9, 9, 9}), ".gif"); },
                    image_size{1600, 1200}, "p.jpg", 64 * 48 * 4, 64 * 48 * 4 + 4096, 64 * 48, 64 * 48, false, 0, std::uint64_t{30} << 30},
        memory_case{"gif_of_9158_square_fits_the_budget", [] { return test_support::gif_claiming(9158, 9158); },
                    image_size{1600, 1200}, "p.jpg", gif_9158_frame, gif_9158_frame + 64, 1200 * 1200, 1200 * 1200},
        memory_case{"gif_of_9158_square_with_a_comment_of_a_megabyte_is_refused", [] { return test_support::gif_claiming(9158, 9158, 1000000); },
                    image_size{1600, 1200}, "p.jpg", gif_9158_frame + 1000000, gif_9158_frame + 1010000, 1200 * 1200, 1200 * 1200, true},
        memory_case{"bmp_and_tiff_targets_are_written_in_strips", [] { return test_support::jpeg_claiming(20000, 15000); },
                    std::nullopt, "p.bmp", 16 * mib, 64 * mib, panorama * 3, panorama * 3},
        memory_case{"baseline_a_scan_a_component_holds_its_coefficients", [] { return test_support::baseline_jpeg_a_scan_a_component(20000, 15000); },
                    image_size{1920, 1080}, "p.jpg", panorama * 3, panorama * 4, 1440 * 1080, 1440 * 1080 * 3, true},
        memory_case{"metadata_counts_with_its_copies", [] { return test_support::jpeg_with_metadata(100); },
                    std::nullopt, "p.jpg", 3 * 100 * 65531, 3 * 100 * 65533 + mib, 64 * 64, 64 * 64 * 3},
        memory_case{"metadata_between_progressive_scans_counts_too", [] { return test_support::jpeg_with_metadata(100, true); },
                    std::nullopt, "p.jpg", 3 * 100 * 65531, 3 * 100 * 65533 + mib, 64 * 64, 64 * 64 * 3},
        memory_case{"turned_photo_to_bmp_is_held_for_the_turn", [] { return test_support::jpeg_claiming(4000, 3000, ".jpg", 6); },
                    std::nullopt, "p.bmp", 4000 * 3000 * 3, 64 * mib, 4000 * 3000 * 3, 4000 * 3000 * 3},
        memory_case{"missing_file_gives_none", nullptr, std::nullopt, "p.jpg", 0, 0, 0, 0},
        memory_case{"unknown_bytes_give_none", [] { return std::string("not an image"); },
                    std::nullopt, "p.jpg", 0, 0, 0, 0}),
    test_support::row_name());
// clang-format on

}  // namespace
