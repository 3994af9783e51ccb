#include <gtest/gtest.h>
#include <lcms2.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string_view>

#include "core/graphics/gdip/batch/gdiplus_image_open_file.hpp"
#include "core/graphics/gdip/batch/gdiplus_image_resize.hpp"
#include "core/graphics/gdip/batch/gdiplus_image_save_stream.hpp"
#include "core/graphics/gdip/detail/bitmap_impl.hpp"
#include "core/graphics/gdip/detail/image_source.hpp"
#include "core/graphics/gdip/gdiplus_exception.hpp"
#include "core/graphics/gdip/image_threads.hpp"
#include "core/graphics/graphics_exception.hpp"
#include "core/graphics/not_supported_exception.hpp"
#include "tests/core/graphics/crafted_images.hpp"
#include "tests/support/descriptors.hpp"
#include "tests/support/expect_error.hpp"
#include "tests/support/image_codecs.hpp"
#include "tests/support/log_capture.hpp"
#include "tests/support/sample_images.hpp"
#include "tests/support/table.hpp"
#include "tests/support/temp_folder.hpp"
#include "tests/support/unreadable_file.hpp"

namespace {

using namespace core::graphics;
using namespace core::graphics::gdip::batch;
namespace formats = core::graphics::image_formats;

constexpr std::uint32_t archive_flags = fit_size | no_enlarge | match_orientation;
constexpr std::uint32_t thumbnail_flags = fit_size | no_enlarge;

// The three units of the archive job's chain, kept together as its creator keeps them.
struct chain {
  chain(const std::string& path, std::uint32_t width, std::uint32_t height, std::uint32_t flags,
        const std::string& target, const gdiplus_batch_params& params = {},
        image_interpolation_mode interpolation = bicubic)
      : open(path),
        resize(&open, width, height, interpolation, flags),
        save(&resize, target, params) {}

  std::string run() {
    save.run();
    save.stream().seekg(0, std::ios_base::beg);
    return {std::istreambuf_iterator<char>(save.stream()), {}};
  }

  gdiplus_image_open_file open;
  gdiplus_image_resize resize;
  gdiplus_image_save_stream save;
};

class image_chain : public testing::Test {
 protected:
  void SetUp() override { test_support::register_image_codecs(); }

  std::string source(const vips::VImage& image, image_format format, const std::string& name) {
    const std::string path = folder_.file(name);
    test_support::write_image(image, path, format);
    return path;
  }

  test_support::temp_folder folder_;
};

struct format_case {
  const char* name;
  image_format source_format;
  int source_width, source_height;
  std::uint32_t box_width, box_height, flags;
  const char* target;
  image_format written;
  int width, height;
};

class chain_formats : public image_chain, public testing::WithParamInterface<format_case> {};

TEST_P(chain_formats, give_exact_sizes_in_the_target_format) {
  const format_case& c = GetParam();
  const vips::VImage photo = test_support::photo_like(c.source_width, c.source_height);
  const std::string path = source(photo, c.source_format, std::string("source.") + c.name);

  chain units(path, c.box_width, c.box_height, c.flags, c.target);
  const std::string encoded = units.run();
  EXPECT_EQ(test_support::signature_of(encoded), c.written);
  EXPECT_EQ(units.resize.result_width(), static_cast<std::uint32_t>(c.width));
  EXPECT_EQ(units.resize.result_height(), static_cast<std::uint32_t>(c.height));

  const vips::VImage decoded = test_support::decode(encoded);
  EXPECT_EQ(decoded.width(), c.width);
  EXPECT_EQ(decoded.height(), c.height);
  const std::vector<double> expected = test_support::band_means(photo);
  const std::vector<double> actual = test_support::band_means(decoded);
  ASSERT_GE(actual.size(), 3U);
  for (int band = 0; band < 3; ++band) {
    EXPECT_NEAR(actual[band], expected[band], 10.0) << "band " << band;
  }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    formats, chain_formats,
    testing::Values(
        //          name                   source                  box                           target    written            size
        format_case{"jpeg_to_jpeg",        formats::jpeg, 400, 300, 200, 100, archive_flags,    "a.jpg",  formats::jpeg, 133, 100},
        format_case{"portrait_png_to_png", formats::png, 300, 400,  200, 100, archive_flags,    "a.png",  formats::png, 100, 133},
        format_case{"gif_to_gif",          formats::gif, 64, 48,    32, 32, thumbnail_flags,    "a.gif",  formats::gif, 32, 24},
        format_case{"tiff_to_tiff",        formats::tiff, 200, 100, 50, 50, thumbnail_flags,    "a.tif",  formats::tiff, 50, 25},
        format_case{"bmp_to_bmp",          formats::bmp, 120, 90,   60, 60, thumbnail_flags,    "a.dib",  formats::bmp, 60, 45},
        format_case{"hd_photo_to_jpeg",    formats::hd_photo, 160, 120, 80, 80, thumbnail_flags, "a.jpg", formats::jpeg, 80, 60},
        format_case{"upper_case_target",   formats::tiff, 100, 100, 50, 50, thumbnail_flags,    "A.JPEG", formats::jpeg, 50, 50},
        format_case{"jpeg_shrinks_while_decoding", formats::jpeg, 1600, 1200, 160, 160, thumbnail_flags, "t.jpg", formats::jpeg, 160, 120},
        format_case{"small_image_unchanged", formats::jpeg, 64, 48, 160, 160, thumbnail_flags,  "t.png",  formats::png, 64, 48},
        format_case{"exact_size",          formats::png, 400, 300,  123, 45, exact_size,        "e.png",  formats::png, 123, 45}),
    test_support::row_name());
// clang-format on

// A flat 100 x 60 source of the given samples, written in format.
struct awkward_case {
  const char* name;
  image_format format;
  VipsBandFormat sample;
  VipsInterpretation space;
  std::vector<double> samples;
  const char* target;
  std::vector<double> colour;  // expected band means of the 50 x 30 output
  double tolerance;
  // Converted into Display P3 and tagged with a profile whose illuminant is
  // D65, as some wide-gamut photos are: libpng refuses such a profile.
  bool display_p3 = false;
};

class chain_awkward_sources : public image_chain,
                              public testing::WithParamInterface<awkward_case> {};

// Palette, grey, CMYK and 16-bit sources are resized as 8-bit sRGB.
TEST_P(chain_awkward_sources, resize_as_8_bit_srgb) {
  const awkward_case& c = GetParam();
  const int bands = static_cast<int>(c.samples.size());
  const vips::VImage image =
      (vips::VImage::black(100, 60, vips::VImage::option()->set("bands", bands)) + c.samples)
          .cast(c.sample)
          .copy(vips::VImage::option()->set("interpretation", c.space));
  const vips::VImage source = c.display_p3 ? test_support::display_p3_tagged_d65(image) : image;
  const std::string path = folder_.file(std::string("source.") + c.name);
  if (std::string(c.name) == "palette_png") {
    image.pngsave(path.c_str(), vips::VImage::option()->set("palette", true));
  } else {
    test_support::write_image(source, path, c.format);
  }
  chain units(path, 50, 50, archive_flags, c.target);
  const vips::VImage decoded = test_support::decode(units.run());
  EXPECT_EQ(decoded.width(), 50);
  EXPECT_EQ(decoded.height(), 30);
  const std::vector<double> means = test_support::band_means(decoded);
  ASSERT_EQ(means.size(), c.colour.size());
  for (std::size_t band = 0; band < means.size(); ++band) {
    EXPECT_NEAR(means[band], c.colour[band], c.tolerance) << "band " << band;
  }
}

constexpr VipsBandFormat u8 = VIPS_FORMAT_UCHAR;
constexpr VipsBandFormat u16 = VIPS_FORMAT_USHORT;

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    sources, chain_awkward_sources,
    testing::Values(
        awkward_case{"palette_gif", formats::gif, u8, VIPS_INTERPRETATION_sRGB, {200, 30, 40}, "out.jpg", {200, 30, 40}, 6},
        awkward_case{"palette_png", formats::png, u8, VIPS_INTERPRETATION_sRGB, {20, 40, 220}, "out.bmp", {20, 40, 220}, 3},
        awkward_case{"grey_jpeg", formats::jpeg, u8, VIPS_INTERPRETATION_B_W, {90}, "out.jpg", {90, 90, 90}, 3},
        awkward_case{"cmyk_jpeg", formats::jpeg, u8, VIPS_INTERPRETATION_CMYK, {0, 255, 255, 0}, "out.png", {230, 30, 40}, 30},
        awkward_case{"rgb16_png", formats::png, u16, VIPS_INTERPRETATION_RGB16, {65535, 32896, 0}, "out.jpg", {255, 128, 0}, 3},
        awkward_case{"grey16_tiff", formats::tiff, u16, VIPS_INTERPRETATION_GREY16, {10280}, "out.tif", {40, 40, 40}, 2},
        awkward_case{"grey_alpha_png", formats::png, u8, VIPS_INTERPRETATION_B_W, {70, 255}, "out.png", {70, 70, 70, 255}, 2},
        awkward_case{"half_transparent_png_to_jpeg", formats::png, u8, VIPS_INTERPRETATION_sRGB, {0, 200, 0, 128}, "out.jpg",
                     {0, 200, 0}, 4},
        // Kept in a format that cannot carry the profile, the colours are converted to sRGB.
        awkward_case{"display_p3_tiff_to_png", formats::tiff, u8, VIPS_INTERPRETATION_sRGB, {200, 0, 0}, "out.png", {200, 0, 0}, 4, true},
        awkward_case{"display_p3_tiff_to_gif", formats::tiff, u8, VIPS_INTERPRETATION_sRGB, {200, 0, 0}, "out.gif", {200, 0, 0, 255}, 4, true},
        awkward_case{"display_p3_tiff_to_jpeg_keeps_its_profile", formats::tiff, u8, VIPS_INTERPRETATION_sRGB, {200, 0, 0}, "out.jpg",
                     {183, 38, 24}, 4, true}),
    test_support::row_name());
// clang-format on

TEST_F(image_chain, first_frame_of_gif_and_tiff) {
  // Two pages stacked: red over blue.
  vips::VImage pages = test_support::flat(40, 20, {255, 0, 0})
                           .join(test_support::flat(40, 20, {0, 0, 255}), VIPS_DIRECTION_VERTICAL)
                           .copy_memory();
  pages.set("page-height", 20);
  for (image_format format : {formats::gif, formats::tiff}) {
    SCOPED_TRACE(format);
    const std::string path = source(pages, format, "pages" + std::to_string(format));
    chain units(path, 20, 20, thumbnail_flags, "first.png");
    const vips::VImage decoded = test_support::decode(units.run());
    EXPECT_EQ(decoded.width(), 20);
    EXPECT_EQ(decoded.height(), 10);
    EXPECT_NEAR(decoded[0].avg(), 255, 2);
    EXPECT_NEAR(decoded[2].avg(), 0, 2);
  }
}

// The GIF loader takes some screens for none and grows its frame to hold the
// first image: a GIF opens at the size its pixels come in, read or not.
TEST_F(image_chain, gifs_open_at_the_size_of_the_loaders_frame) {
  struct screen_case {
    std::array<std::uint16_t, 2> screen;
    std::array<std::uint16_t, 4> image;  // left, top, width, height
    int width, height;                   // fitted into 60 x 60
  };
  for (const screen_case& c : {screen_case{{120, 90}, {5, 5, 100, 80}, 60, 45},
                               screen_case{{640, 480}, {0, 0, 100, 80}, 60, 48},
                               screen_case{{3000, 3000}, {10, 10, 100, 80}, 60, 49},
                               screen_case{{50, 40}, {40, 10, 100, 80}, 60, 39}}) {
    SCOPED_TRACE(std::to_string(c.screen[0]) + " x " + std::to_string(c.screen[1]));
    const std::string path = folder_.file("screen.gif");
    test_support::write_file(path, test_support::gif_on_screen(c.screen, c.image));
    chain units(path, 60, 60, thumbnail_flags, "out.png");
    const vips::VImage fitted = test_support::decode(units.run());
    EXPECT_EQ(fitted.width(), c.width);
    EXPECT_EQ(fitted.height(), c.height);
  }
}

TEST_F(image_chain, keeps_orientation_and_resolution) {
  vips::VImage photo = test_support::photo_like(400, 300).copy(
      vips::VImage::option()->set("xres", 300 / 25.4)->set("yres", 150 / 25.4));
  photo.set("orientation", 6);  // a portrait phone photo stored lying down
  const std::string path = source(photo, formats::jpeg, "phone.jpg");

  chain units(path, 1920, 1080, archive_flags, "phone.jpg");
  units.resize.run();
  EXPECT_EQ(units.resize.result_width(), 400U);  // stored size, no enlargement
  chain smaller(path, 200, 100, archive_flags, "phone.jpg");
  const vips::VImage decoded = test_support::decode(smaller.run());
  EXPECT_EQ(decoded.width(), 133);
  EXPECT_EQ(decoded.height(), 100);
  EXPECT_EQ(decoded.get_int("orientation"), 6);
  EXPECT_NEAR(decoded.xres() * 25.4, 300, 1);
  EXPECT_NEAR(decoded.yres() * 25.4, 150, 1);
}

struct turned_case {
  const char* name;
  int orientation;  // of a 400 x 300 photo, red growing rightwards, green downwards
  std::uint32_t box_width, box_height;
  const char* target;
  int width, height;
  int band;  // the one that grows rightwards as shown, or leftwards
  bool rightwards;
};

class chain_turned_photos : public image_chain, public testing::WithParamInterface<turned_case> {};

// For targets without an orientation tag: the box is matched to the photo as
// it is shown, and its pixels are saved that way.
TEST_P(chain_turned_photos, are_saved_upright) {
  const turned_case& c = GetParam();
  vips::VImage photo = test_support::photo_like(400, 300).copy();
  photo.set("orientation", c.orientation);
  const std::string path = source(photo, formats::jpeg, "phone.jpg");
  gdiplus_image_open_file open(path, orientation_tag::applied);
  gdiplus_image_resize resize(&open, c.box_width, c.box_height, bicubic, archive_flags);
  gdiplus_image_save_stream save(&resize, c.target, {});
  save.run();
  const vips::VImage decoded = test_support::decode({save.device().data(), save.device().size()});
  ASSERT_EQ(decoded.width(), c.width);
  ASSERT_EQ(decoded.height(), c.height);
  const int side = c.width / 4;
  const double left = decoded[c.band].crop(0, 0, side, c.height).avg();
  const double right = decoded[c.band].crop(c.width - side, 0, side, c.height).avg();
  EXPECT_EQ(left + 20 < right, c.rightwards) << left << " " << right;
  EXPECT_EQ(right + 20 < left, !c.rightwards) << left << " " << right;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    orientations, chain_turned_photos,
    testing::Values(
        turned_case{"turned_right_to_gif", 6, 200, 100, "a.gif", 100, 133, 1, false},
        turned_case{"turned_left_to_bmp", 8, 200, 100, "a.bmp", 100, 133, 1, true},
        turned_case{"turned_left_to_bmp_at_its_size", 8, 0, 0, "a.bmp", 300, 400, 1, true},
        turned_case{"upside_down_to_gif", 3, 200, 100, "a.gif", 133, 100, 0, false}),
    test_support::row_name());
// clang-format on

// Asks the chain writing into it to stop at its first bytes: the encoder is
// then under way, the pixels' evaluation begun.
struct stopping_buffer : std::stringbuf {
  std::streamsize xsputn(const char* bytes, std::streamsize count) override {
    stop = true;
    return std::stringbuf::xsputn(bytes, count);
  }
  int_type overflow(int_type c) override {
    stop = true;
    return std::stringbuf::overflow(c);
  }

  std::atomic<bool> stop{false};
};

struct stopped_case {
  const char* name;
  image_format source;
  const char* target;
};

class chain_stopped_saves : public image_chain, public testing::WithParamInterface<stopped_case> {};

TEST_P(chain_stopped_saves, end_aborted_with_less_than_half_written) {
  const stopped_case& c = GetParam();
  const std::string path = source(test_support::photo_like(3000, 2000), c.source, "large");
  gdiplus_image_open_file open(path);
  stopping_buffer written;
  std::ostream out(&written);
  gdiplus_image_save_stream save(&open, c.target, {}, out);
  test_support::expect_error<gdip::gdiplus_exception>(
      [&] { save.run(written.stop); },
      "Cannnot save the GDI+ bitmap. [GdiplusErrorCode: 9, The method was aborted.]");
  gdiplus_image_save_stream whole(&open, c.target, {});
  whole.run();
  EXPECT_LT(written.str().size(), whole.device().size() / 2);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    targets, chain_stopped_saves,
    testing::Values(
        stopped_case{"jpeg_to_png", formats::jpeg, "a.png"},
        stopped_case{"jpeg_to_jpeg", formats::jpeg, "a.jpg"},
        stopped_case{"png_to_tiff", formats::png, "a.tif"},
        stopped_case{"jpeg_to_bmp", formats::jpeg, "a.bmp"},
        stopped_case{"hd_photo_to_png", formats::hd_photo, "a.png"}),
    test_support::row_name());
// clang-format on

TEST_F(image_chain, jpeg_quality_is_the_one_encoder_parameter) {
  const std::string path = source(test_support::photo_like(300, 200), formats::jpeg, "q.jpg");
  const auto size_at = [&](std::optional<int> quality, const char* target = "q.jpg") {
    gdiplus_batch_params params;
    if (quality) {
      params.set_quality(*quality);
    }
    chain units(path, 150, 150, archive_flags, target, params);
    return units.run().size();
  };
  EXPECT_LT(size_at(10), size_at(95));
  EXPECT_EQ(size_at(0), size_at(1));      // clamped, not refused
  EXPECT_EQ(size_at(500), size_at(100));  // clamped
  EXPECT_EQ(size_at(std::nullopt), size_at(75));
  EXPECT_EQ(size_at(10, "q.png"), size_at(95, "q.png"));  // other formats ignore it
}

struct bad_file_case {
  const char* name;
  const char* file;   // in the test's folder
  const char* bytes;  // nullptr: not written
  int status;
  const char* status_text;
  const char* cause = "";  // the system's error the log names, after the frame
  bool unreadable = false;
};

class chain_bad_files : public image_chain, public testing::WithParamInterface<bad_file_case> {};

TEST_P(chain_bad_files, fail_to_load_with_the_path) {
  const bad_file_case& c = GetParam();
  const std::string path = folder_.file(c.file);
  if (c.bytes != nullptr) {
    test_support::write_file(path, c.bytes);
  }
  std::optional<test_support::unreadable_file> unreadable;
  if (c.unreadable) {
    unreadable.emplace(path);
  }
  chain units(path, 100, 100, archive_flags, "out.jpg");
  try {
    units.run();
    FAIL() << "no exception";
  } catch (const gdip::gdiplus_exception& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot load the bitmap: '" + path +
                                         "'. [GdiplusErrorCode: " + std::to_string(c.status) +
                                         ", " + c.status_text + "]" + c.cause);
    EXPECT_EQ(static_cast<int>(e.status()), c.status);
  }
  EXPECT_FALSE(units.open.image());
}

const char* const unknown_format = "The specified image file format is not known.";
const char* const win32_error = "The method generated a Microsoft Win32 error.";

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    files, chain_bad_files,
    testing::Values(
        bad_file_case{"missing", "gone.jpg", nullptr, 10, "The specified image file or metafile cannot be found."},
        bad_file_case{"text", "bad.jpg", "hello, world", 13, unknown_format},
        bad_file_case{"jpeg_signature_then_junk", "bad.jpg", "\xFF\xD8\xFF junk junk junk", 1,
                      "An error on the method call.", ": VipsJpeg: Unsupported marker type 0x20"},
        bad_file_case{"psd_is_not_decoded", "bad.psd", "8BPS\x01\x01\x01", 13, unknown_format},
        bad_file_case{"folder", "", nullptr, 7, win32_error, ": Is a directory"},
        bad_file_case{"unreadable", "private.jpg", "\xFF\xD8\xFF", 7, win32_error, ": Permission denied", true}),
    test_support::row_name());
// clang-format on

struct damaged_case {
  const char* name;
  std::function<std::string()> bytes;
  const char* message;  // of the unit that fails; nullptr: the opening unit's
  // The decoder's words the failure goes on with (the encoder's may follow);
  // a file decoded as the chain reads its pixels is named before them.
  const char* words;
  bool names_the_file;
  // What the file is cut to once the opening unit has judged it; null: never.
  std::size_t (*cut_after_opening)(std::size_t) = nullptr;
};

class chain_damaged_files : public image_chain, public testing::WithParamInterface<damaged_case> {};

// Converted at its size, resized, and made a thumbnail.
struct chain_shape {
  std::uint32_t width, height, flags;
  const char* target;
};
constexpr chain_shape chain_shapes[] = {{0, 0, archive_flags, "out.png"},
                                        {100, 100, archive_flags, "out.png"},
                                        {160, 160, thumbnail_flags, "t.jpg"}};

// Runs convert for each chain shape, a few times with one imaging thread and
// with several: a verdict on a photo must not hang on the threads' timing.
void for_each_shape_and_threads(const std::function<void(const chain_shape&)>& convert) {
  const unsigned saved = core::graphics::gdip::image_threads();
  for (const unsigned threads : {1U, 4U}) {
    core::graphics::gdip::set_image_threads(threads);
    for (int run = 0; run < 3; ++run) {
      for (const chain_shape& shape : chain_shapes) {
        SCOPED_TRACE(std::to_string(threads) + " threads into " + std::to_string(shape.width));
        convert(shape);
      }
    }
  }
  core::graphics::gdip::set_image_threads(saved);
}

TEST_P(chain_damaged_files, fail_with_the_decoders_words) {
  const damaged_case& c = GetParam();
  const std::string path = folder_.file("damaged.jpg");
  const std::string bytes = c.bytes();
  test_support::write_file(path, bytes);
  for_each_shape_and_threads([&](const chain_shape& shape) {
    chain units(path, shape.width, shape.height, shape.flags, shape.target);
    try {
      if (c.cut_after_opening != nullptr) {
        test_support::write_file(path, bytes);
        units.open.run();
        std::filesystem::resize_file(path, c.cut_after_opening(bytes.size()));
        units.resize.execute();
        units.save.execute();
      } else {
        units.run();
      }
      ADD_FAILURE() << "no exception";
    } catch (const gdip::gdiplus_exception& e) {
      const std::string named = c.names_the_file ? "cannot decode '" + path + "': " : "";
      const std::string message =
          c.message != nullptr ? c.message : "Cannot load the bitmap: '" + path + "'.";
      EXPECT_TRUE(std::string_view(e.what()).starts_with(
          message + " [GdiplusErrorCode: 1, An error on the method call.]: " + named + c.words))
          << e.what();
    }
  });
}

// A photo of the size saved with suffix's options, cut to what keep leaves of its size.
std::function<std::string()> jpeg_cut(const char* suffix, std::function<std::size_t(std::size_t)> keep,
                                      int width = 1600, int height = 1200) {
  return [=] {
    std::string bytes = test_support::encode(test_support::photo_like(width, height), suffix);
    bytes.resize(keep(bytes.size()));
    return bytes;
  };
}

std::size_t all_bytes(std::size_t size) {
  return size;
}

std::size_t nothing(std::size_t) {
  return 0;
}

std::size_t all_but_a_byte(std::size_t size) {
  return size - 1;
}

std::size_t half(std::size_t size) {
  return size / 2;
}

std::size_t nine_tenths(std::size_t size) {
  return size / 10 * 9;
}

std::size_t all_but_4_kb(std::size_t size) {
  return size - 4096;
}

std::size_t all_but_300_bytes(std::size_t size) {
  return size - 300;
}

// The photo with its bottom third black, as a film framed for a wider screen.
// Its noise is fixed, and so is where libjpeg's reading ahead meets the end.
vips::VImage letterboxed_photo(int width, int height) {
  return test_support::photo_like(width, height, 2)
      .insert(test_support::flat(width, height / 3, {0, 0, 0}), 0, height - height / 3);
}

// A picture of 400 x 300 written in scans, as edit leaves its bytes given where its scans end.
using scan_edit = std::function<void(std::string&, const std::vector<std::size_t>&)>;
std::function<std::string()> jpeg_scans_edited(
    test_support::jpeg_scans scans, scan_edit edit, bool arithmetic = false,
    vips::VImage (*picture)(int, int) = [](int width, int height) {
      return test_support::photo_like(width, height);
    }) {
  return [=] {
    std::string bytes = test_support::jpeg_written(picture(400, 300), scans, arithmetic);
    edit(bytes, test_support::jpeg_scan_ends(bytes));
    return bytes;
  };
}

constexpr auto one_scan = test_support::jpeg_scans::one;
constexpr auto a_scan_a_component = test_support::jpeg_scans::a_component_each;
constexpr auto progressive_scans = test_support::jpeg_scans::progressive;

void cut_after_the_first_scan(std::string& bytes, const std::vector<std::size_t>& ends) {
  bytes.resize(ends.front());
}

void cut_before_the_last_scan(std::string& bytes, const std::vector<std::size_t>& ends) {
  bytes.resize(ends.end()[-2]);
}

void cut_inside_the_last_scan(std::string& bytes, const std::vector<std::size_t>& ends) {
  bytes.resize(ends.back() - 1);
}

void drop_the_last_scan(std::string& bytes, const std::vector<std::size_t>& ends) {
  bytes.erase(ends.end()[-2], ends.back() - ends.end()[-2]);
}

void repeat_the_second_scan(std::string& bytes, const std::vector<std::size_t>& ends) {
  bytes.insert(ends[1], bytes.substr(ends[0], ends[1] - ends[0]));
}

// Point transform 1 in a sequential scan's header, its last byte.
void approximate_a_sequential_scan(std::string& bytes, const std::vector<std::size_t>&) {
  const std::size_t scan = bytes.find("\xFF\xDA");
  bytes[scan + 2 + static_cast<unsigned char>(bytes[scan + 3]) - 1] = '\x01';
}

// A photo whose data has stretch written over it, past_middle bytes after its middle.
std::function<std::string()> jpeg_overwritten(std::function<std::string()> stretch,
                                              std::size_t past_middle = 0) {
  return [=] {
    std::string bytes = test_support::encode(test_support::photo_like(1600, 1200), ".jpg");
    const std::string written = stretch();
    bytes.replace(bytes.size() / 2 + past_middle, written.size(), written);
    return bytes;
  };
}

std::string random_bytes() {
  std::minstd_rand random(7);
  std::string bytes(4096, '\0');
  for (char& byte : bytes) {
    byte = static_cast<char>(random());
  }
  return bytes;
}

// 1 bits (a stuffed FF is FF 00), sixteen of which no Huffman code is. Where
// libjpeg-turbo decodes in its fast path, it takes them silently for a 0.
std::string ones() {
  return std::string("\xFF\x00\xFF\x00\xFF\x00\xFF\x00", 8);
}

// A BMP of 1600 x 1200 in layout, cut to what keep leaves of its size.
std::function<std::string()> bmp_cut(test_support::bmp_layout layout,
                                     std::function<std::size_t(std::size_t)> keep) {
  return [=] {
    std::string bytes = test_support::bmp_in_layout(layout, 1600, 1200).bytes;
    bytes.resize(keep(bytes.size()));
    return bytes;
  };
}

// A photo of 400 x 300 saved as GIF, cut to what keep leaves of its size.
std::function<std::string()> gif_cut(std::function<std::size_t(std::size_t)> keep) {
  return [=] {
    std::string bytes = test_support::encode(test_support::photo_like(400, 300), ".gif");
    bytes.resize(keep(bytes.size()));
    return bytes;
  };
}

// An RLE8 BMP whose codes fill a row more past the image's last.
std::string rle_past_the_image() {
  std::string bytes = test_support::bmp_in_layout({40, 8, 1, {}}, 64, 48).bytes;
  bytes.resize(bytes.size() - 2);  // its end of the image
  return bytes + std::string("\0\0\x40\x07", 4);
}

std::string jpeg_65535_wide() {
  std::string bytes = test_support::encode(test_support::flat(16, 16, {9, 9, 9}), ".jpg");
  const std::size_t frame = bytes.find("\xFF\xC0");
  bytes[frame + 7] = '\xFF';
  bytes[frame + 8] = '\xFF';
  return bytes;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    files, chain_damaged_files,
    testing::Values(
        damaged_case{"jpeg_cut_short", jpeg_cut(".jpg", half), "Cannnot save the GDI+ bitmap.",
                     "Premature end of JPEG file", true},
        damaged_case{"jpeg_cut_at_nine_tenths", jpeg_cut(".jpg", nine_tenths), "Cannnot save the GDI+ bitmap.",
                     "Premature end of JPEG file", true},
        // Its data ends in its last row: it lacks what it decodes next.
        damaged_case{"jpeg_missing_its_last_4_kb", jpeg_cut(".jpg", all_but_4_kb), "Cannnot save the GDI+ bitmap.",
                     "Premature end of JPEG file", true},
        damaged_case{"progressive_jpeg_cut_at_nine_tenths", jpeg_cut(".jpg[interlace]", nine_tenths),
                     "Cannnot save the GDI+ bitmap.", "Premature end of JPEG file", true},
        // libjpeg decodes on with grey in the place of what it lost.
        damaged_case{"jpeg_with_overwritten_middle", jpeg_overwritten(random_bytes), "Cannnot save the GDI+ bitmap.",
                     "Corrupt JPEG data: premature end of data segment", true},
        damaged_case{"jpeg_with_a_bad_huffman_code", jpeg_overwritten(ones, 1024), "Cannnot save the GDI+ bitmap.",
                     "Corrupt JPEG data: bad Huffman code", true},
        // A shrunk load of its odd height leaves out the last row of blocks, where the data ends.
        damaged_case{"odd_sized_jpeg_missing_its_last_300_bytes", jpeg_cut(".jpg", all_but_300_bytes, 1601, 1203),
                     "Cannnot save the GDI+ bitmap.", "Premature end of JPEG file", true},
        // Cut where a scan ends, the photo lacks whole scans: libjpeg decodes it blurred or grey.
        damaged_case{"progressive_jpeg_cut_after_its_first_scan", jpeg_scans_edited(progressive_scans, cut_after_the_first_scan),
                     "Cannnot save the GDI+ bitmap.", "Premature end of JPEG file", true},
        damaged_case{"progressive_jpeg_cut_before_its_last_scan", jpeg_scans_edited(progressive_scans, cut_before_the_last_scan),
                     "Cannnot save the GDI+ bitmap.", "Premature end of JPEG file", true},
        damaged_case{"arithmetic_jpeg_cut_before_its_last_scan", jpeg_scans_edited(progressive_scans, cut_before_the_last_scan, true),
                     "Cannnot save the GDI+ bitmap.", "Premature end of JPEG file", true},
        // Its last scan codes the black rows in a few bytes, read before it needs the byte cut.
        damaged_case{"letterboxed_progressive_jpeg_cut_inside_its_last_scan",
                     jpeg_scans_edited(progressive_scans, cut_inside_the_last_scan, false, letterboxed_photo),
                     "Cannnot save the GDI+ bitmap.", "Premature end of JPEG file", true},
        damaged_case{"letterboxed_jpeg_of_a_scan_a_component_cut_inside_its_last_scan",
                     jpeg_scans_edited(a_scan_a_component, cut_inside_the_last_scan, false, letterboxed_photo),
                     "Cannnot save the GDI+ bitmap.", "Premature end of JPEG file", true},
        damaged_case{"jpeg_of_a_scan_a_component_cut_after_the_first", jpeg_scans_edited(a_scan_a_component, cut_after_the_first_scan),
                     "Cannnot save the GDI+ bitmap.", "Premature end of JPEG file", true},
        damaged_case{"progressive_jpeg_without_its_last_scan", jpeg_scans_edited(progressive_scans, drop_the_last_scan),
                     "Cannnot save the GDI+ bitmap.", "Scans leave out or repeat part of the picture", true},
        damaged_case{"progressive_jpeg_with_a_scan_twice", jpeg_scans_edited(progressive_scans, repeat_the_second_scan),
                     "Cannnot save the GDI+ bitmap.", "Inconsistent progression sequence for component 0 coefficient 1", true},
        damaged_case{"jpeg_of_a_scan_a_component_with_one_twice", jpeg_scans_edited(a_scan_a_component, repeat_the_second_scan),
                     "Cannnot save the GDI+ bitmap.", "Scans leave out or repeat part of the picture", true},
        damaged_case{"jpeg_with_an_approximated_sequential_scan", jpeg_scans_edited(one_scan, approximate_a_sequential_scan),
                     "Cannnot save the GDI+ bitmap.", "Invalid SOS parameters for sequential JPEG", true},
        damaged_case{"bmp_cut_short", bmp_cut({40, 24, 0, {}}, half), nullptr, "the file ends in its pixels", false},
        damaged_case{"rle4_bmp_cut_short", bmp_cut({40, 4, 2, {}}, nine_tenths), nullptr, "the file ends in its pixels", false},
        damaged_case{"rle8_bmp_running_past_its_last_row", rle_past_the_image, nullptr,
                     "its compressed pixels run past the image", false},
        // Its rows' codes end before the end its opening found: emptied as
        // an editor saving over it does, or without the last byte of its image end.
        damaged_case{"rle8_bmp_emptied_after_it_was_opened", bmp_cut({40, 8, 1, {}}, all_bytes), "Cannnot save the GDI+ bitmap.",
                     "bmp: the file ends in its pixels", false, nothing},
        damaged_case{"rle4_bmp_cut_by_a_byte_after_it_was_opened", bmp_cut({40, 4, 2, {}}, all_bytes), "Cannnot save the GDI+ bitmap.",
                     "bmp: the file ends in its pixels", false, all_but_a_byte},
        // Its bytes are read once its pixels are: its damage is found then.
        damaged_case{"gif_cut_short", gif_cut(half), "Cannnot save the GDI+ bitmap.",
                     "gifload_buffer: Unexpected end of GIF source data", true},
        damaged_case{"gif_emptied_after_it_was_opened", gif_cut(all_bytes), "Cannnot save the GDI+ bitmap.",
                     "gifload_buffer: Unexpected end of GIF source data", true, nothing},
        damaged_case{"jpeg_wider_than_its_decoder_takes", jpeg_65535_wide, nullptr,
                     "VipsJpeg: Maximum supported image dimension is 65500 pixels", false}),
    test_support::row_name());
// clang-format on

struct bmp_layout_case {
  const char* name;
  test_support::bmp_layout layout;
};

class chain_bmp_layouts : public image_chain, public testing::WithParamInterface<bmp_layout_case> {
 protected:
  // The rows of decoded that differ from the pixels bmp's bytes stand for.
  static int rows_differing(const vips::VImage& decoded, const test_support::crafted_bmp& bmp,
                            int width, int height) {
    EXPECT_EQ(decoded.width(), width);
    EXPECT_EQ(decoded.height(), height);
    EXPECT_EQ(decoded.bands(), bmp.bands);
    if (decoded.width() != width || decoded.height() != height || decoded.bands() != bmp.bands) {
      return height;
    }
    const vips::VImage memory = decoded.copy_memory();
    const std::size_t row = std::size_t{static_cast<unsigned>(width)} * bmp.bands;
    int differing = 0;
    for (int y = 0; y < height; ++y) {
      differing += std::memcmp(VIPS_IMAGE_ADDR(memory.get_image(), 0, y),
                               bmp.pixels.data() + y * row, row) != 0;
    }
    return differing;
  }
};

TEST_P(chain_bmp_layouts, convert_as_their_bytes_say) {
  const test_support::crafted_bmp bmp = test_support::bmp_in_layout(GetParam().layout, 37, 23);
  const std::string path = folder_.file("layout.bmp");
  test_support::write_file(path, bmp.bytes);
  chain units(path, 0, 0, archive_flags, "out.png");
  EXPECT_EQ(rows_differing(test_support::decode(units.run()), bmp, 37, 23), 0);
  // From its bytes, as the codec registry decodes.
  const auto decoded = gdip::detail::decode_image(bmp.bytes);
  EXPECT_EQ(rows_differing(decoded->state().pixels(1, core::threading::never_stopped), bmp, 37, 23),
            0);
}

TEST_P(chain_bmp_layouts, decode_as_their_bytes_say_at_8000_x_6000) {
  const test_support::crafted_bmp bmp = test_support::bmp_in_layout(GetParam().layout, 8000, 6000);
  const std::string path = folder_.file("layout.bmp");
  test_support::write_file(path, bmp.bytes);
  gdiplus_image_open_file open(path);
  open.execute();
  const vips::VImage pixels = open.image()->state().pixels(1, core::threading::never_stopped);
  EXPECT_EQ(rows_differing(pixels, bmp, 8000, 6000), 0);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    layouts, chain_bmp_layouts,
    testing::Values(
        bmp_layout_case{"core_header_8_bit_palette", {12, 8, 0, {}}},
        bmp_layout_case{"palette_of_1_bit", {40, 1, 0, {}}},
        bmp_layout_case{"palette_of_4_bits", {40, 4, 0, {}}},
        bmp_layout_case{"palette_of_8_bits_top_down", {40, 8, 0, {}, true}},
        bmp_layout_case{"rle4", {40, 4, 2, {}}},
        bmp_layout_case{"rle8", {40, 8, 1, {}}},
        bmp_layout_case{"rgb555", {40, 16, 0, {}}},
        bmp_layout_case{"rgb565_bit_fields", {40, 16, 3, {0xF800, 0x07E0, 0x001F, 0}}},
        bmp_layout_case{"argb1555_v4", {108, 16, 3, {0x7C00, 0x03E0, 0x001F, 0x8000}}},
        bmp_layout_case{"rgb24", {40, 24, 0, {}}},
        bmp_layout_case{"rgb24_top_down", {124, 24, 0, {}, true}},
        bmp_layout_case{"bgra32", {40, 32, 0, {}}},
        bmp_layout_case{"bgrx32_alpha_byte_always_0", {40, 32, 0, {}, false, true}},
        bmp_layout_case{"argb32_bit_fields_v5", {124, 32, 3, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}}},
        bmp_layout_case{"rgb32_bit_fields_of_10_bits", {40, 32, 3, {0x3FF00000, 0xFFC00, 0x3FF, 0}}}),
    test_support::row_name());
// clang-format on

// One of libvips's own colour profiles ("srgb", "p3", "cmyk").
std::string built_in_profile(const char* name) {
  const vips::VImage tagged =
      test_support::flat(8, 8, {9, 9, 9})
          .icc_transform(name, vips::VImage::option()->set("input_profile", "srgb"));
  std::size_t length = 0;
  const void* profile = tagged.get_blob(VIPS_META_ICC_NAME, &length);
  return {static_cast<const char*>(profile), length};
}

// A profile made by the colour library: gray of gamma 2.2, or Lab's own.
std::string lcms_profile(bool gray) {
  cmsToneCurve* gamma = cmsBuildGamma(nullptr, 2.2);
  const cmsHPROFILE profile =
      gray ? cmsCreateGrayProfile(cmsD50_xyY(), gamma) : cmsCreateLab4Profile(nullptr);
  cmsFreeToneCurve(gamma);
  cmsUInt32Number length = 0;
  cmsSaveProfileToMem(profile, nullptr, &length);
  std::string bytes(length, '\0');
  cmsSaveProfileToMem(profile, bytes.data(), &length);
  cmsCloseProfile(profile);
  return bytes;
}

void set_le32(std::string& bytes, std::size_t at, std::uint32_t value) {
  for (std::size_t i = 0; i < 4; ++i) {
    bytes[at + i] = static_cast<char>(value >> (8 * i) & 0xFF);
  }
}

constexpr std::uint32_t profile_embedded = 0x4D424544, profile_linked = 0x4C494E4B;
constexpr test_support::bmp_layout rgb24_v5{124, 24, 0, {}};
constexpr test_support::bmp_layout argb32_v5{124, 32, 3, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}};

struct bmp_profile_case {
  const char* name;
  test_support::bmp_layout layout;  // of a V5 header
  const char* target;
  std::uint32_t colour_space;  // of the header
  std::function<std::string()> profile;
  bool kept = false;
  const char* left_out = nullptr;  // the log line's reason, where one is written
  std::uint32_t beyond = 0;        // where the header says it is, past where it is
  std::uint32_t padding = 0;       // zeros after it, counted in its size by the header
};

class chain_bmp_profiles : public image_chain,
                           public testing::WithParamInterface<bmp_profile_case> {};

// The pixels convert as stored whatever the profile; it goes with them where
// it describes them and the file holds it.
TEST_P(chain_bmp_profiles, go_with_the_pixels_where_they_are_sound) {
  const bmp_profile_case& c = GetParam();
  const test_support::crafted_bmp bmp = test_support::bmp_in_layout(c.layout, 37, 23);
  std::string bytes = bmp.bytes;
  const std::string profile = c.profile();
  set_le32(bytes, 14 + 56, c.colour_space);
  set_le32(bytes, 14 + 112, static_cast<std::uint32_t>(bytes.size() - 14 + c.beyond));
  set_le32(bytes, 14 + 116, static_cast<std::uint32_t>(profile.size() + c.padding));
  bytes += profile + std::string(c.padding, '\0');
  set_le32(bytes, 2, static_cast<std::uint32_t>(bytes.size()));
  const std::string path = folder_.file("profile.bmp");
  test_support::write_file(path, bytes);
  const test_support::log_capture log;
  chain units(path, 0, 0, archive_flags, c.target);
  const vips::VImage decoded = test_support::decode(units.run());
  ASSERT_EQ(decoded.get_typeof(VIPS_META_ICC_NAME) != 0, c.kept);
  if (c.kept) {
    std::size_t length = 0;
    const void* written = decoded.get_blob(VIPS_META_ICC_NAME, &length);
    EXPECT_TRUE(std::string(static_cast<const char*>(written), length) == profile);
  }
  EXPECT_EQ(log.text().find("the BMP's colour profile is left out") != std::string::npos,
            c.left_out != nullptr)
      << log.text();
  if (c.left_out != nullptr) {
    EXPECT_NE(log.text().find(std::string("the BMP's colour profile is left out: ") + c.left_out),
              std::string::npos)
        << log.text();
  }
  ASSERT_EQ(decoded.bands(), bmp.bands);
  const vips::VImage stored =
      vips::VImage::new_from_memory(const_cast<unsigned char*>(bmp.pixels.data()),
                                    bmp.pixels.size(), 37, 23, bmp.bands, VIPS_FORMAT_UCHAR);
  if (std::string_view(c.target).ends_with(".png")) {
    EXPECT_EQ((decoded - stored).abs().max(), 0);
  } else {  // the noise lost to JPEG aside
    const std::vector<double> expected = test_support::band_means(stored);
    const std::vector<double> actual = test_support::band_means(decoded);
    for (std::size_t band = 0; band < expected.size(); ++band) {
      EXPECT_NEAR(actual[band], expected[band], 2) << "band " << band;
    }
  }
}

constexpr const char* not_its_pixels = "it does not describe its pixels";

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    profiles, chain_bmp_profiles,
    testing::Values(
        bmp_profile_case{"embedded_into_png", rgb24_v5, "out.png", profile_embedded, [] { return built_in_profile("srgb"); }, true},
        bmp_profile_case{"embedded_into_jpeg", rgb24_v5, "out.jpg", profile_embedded, [] { return built_in_profile("p3"); }, true},
        bmp_profile_case{"with_alpha_embedded_into_png", argb32_v5, "out.png", profile_embedded, [] { return built_in_profile("srgb"); }, true},
        bmp_profile_case{"padded_to_4_bytes", rgb24_v5, "out.jpg", profile_embedded, [] { return built_in_profile("srgb"); }, true, nullptr, 0, 2},
        bmp_profile_case{"declared_past_the_file_end", rgb24_v5, "out.jpg", profile_embedded, [] { return built_in_profile("p3"); }, false,
                         "the file ends in it", 4096},
        bmp_profile_case{"of_noise", rgb24_v5, "out.jpg", profile_embedded, [] { return std::string(600, '\x5A'); }, false,
                         "it says it takes 1515870810 of its 600 bytes"},
        bmp_profile_case{"linked_file_never_opened", rgb24_v5, "out.png", profile_linked, [] { return std::string("/etc/passwd", 12); }},
        // Of as many channels as the pixels have bands, but of another space.
        bmp_profile_case{"gray_into_jpeg", rgb24_v5, "out.jpg", profile_embedded, [] { return lcms_profile(true); }, false, not_its_pixels},
        bmp_profile_case{"gray_with_alpha_into_png", argb32_v5, "out.png", profile_embedded, [] { return lcms_profile(true); }, false, not_its_pixels},
        bmp_profile_case{"cmyk_into_jpeg", rgb24_v5, "out.jpg", profile_embedded, [] { return built_in_profile("cmyk"); }, false, not_its_pixels},
        bmp_profile_case{"cmyk_with_alpha_into_png", argb32_v5, "out.png", profile_embedded, [] { return built_in_profile("cmyk"); }, false, not_its_pixels},
        bmp_profile_case{"lab_into_jpeg", rgb24_v5, "out.jpg", profile_embedded, [] { return lcms_profile(false); }, false, not_its_pixels},
        bmp_profile_case{"lab_with_alpha_into_png", argb32_v5, "out.png", profile_embedded, [] { return lcms_profile(false); }, false, not_its_pixels}),
    test_support::row_name());
// clang-format on

// Beyond what a BMP decoded whole may take, its rows are read in strips: a
// 1-bit scan, and RLE8 rows whose last run passes the row's end.
TEST_F(image_chain, bmps_beyond_the_decode_budget_convert) {
  constexpr std::uint32_t width = 12000, height = 10000;
  const std::vector<double> red{200, 100, 50}, blue{0, 0, 255};
  std::string row;
  for (int run = 0; run < 47; ++run) {
    row += "\xFF\x01";  // 255 pixels of red
  }
  row += std::string("\xFF\x02\0\0", 4);  // 15 of blue, the rest dropped; the row's end
  std::string codes;
  for (std::uint32_t y = 0; y < height; ++y) {
    codes += row;
  }
  codes += std::string("\0\1", 2);
  const struct {
    const char* name;
    std::string bytes;
    std::vector<double> colour;
  } files[] = {
      {"scan",
       test_support::bmp_of(width, height, 1, 0, {{0, 0, 0}, {255, 255, 255}},
                            std::string(std::size_t{width} / 8 * height, '\xF0')),
       {127.5, 127.5, 127.5}},
      {"rle8",
       test_support::bmp_of(width, height, 8, 1, {{0, 0, 0}, {200, 100, 50}, {0, 0, 255}}, codes),
       red},
  };
  for (const auto& file : files) {
    SCOPED_TRACE(file.name);
    const std::string path = folder_.file(std::string(file.name) + ".bmp");
    test_support::write_file(path, file.bytes);
    chain units(path, 160, 160, thumbnail_flags, "t.png");
    const vips::VImage decoded = test_support::decode(units.run());
    EXPECT_EQ(decoded.width(), 160);
    EXPECT_EQ(decoded.height(), 133);
    const std::vector<double> means = test_support::band_means(decoded);
    ASSERT_EQ(means.size(), 3U);
    for (std::size_t band = 0; band < 3; ++band) {
      EXPECT_NEAR(means[band], file.colour[band], 2) << "band " << band;
    }
  }
  gdiplus_image_open_file open(folder_.file("rle8.bmp"));
  open.execute();
  const vips::VImage stored = open.image()->state().pixels(1, core::threading::never_stopped);
  const vips::VImage edge = stored.extract_area(width - 20, 0, 20, height).copy_memory();
  EXPECT_EQ(test_support::band_means(edge.extract_area(0, 0, 5, height)), red);
  EXPECT_EQ(test_support::band_means(edge.extract_area(5, 0, 15, height)), blue);
}

// An RLE file whose last row is drawn to its end converts as the whole file
// also without its end codes, or with a byte of them: the walk over its
// codes when it is opened finds where they end.
TEST_F(image_chain, rle_bmps_missing_only_their_end_codes_convert_as_whole) {
  constexpr std::uint32_t width = 300, height = 200;
  std::string codes;
  for (std::uint32_t y = 0; y < height; ++y) {
    // 200 pixels of one index and 100 of another, then the row's end.
    codes += {'\xC8', static_cast<char>(y % 3), '\x64', static_cast<char>((y + 1) % 3), '\0', '\0'};
  }
  codes += std::string("\0\1", 2);
  const std::vector<std::array<unsigned char, 3>> colours{
      {200, 100, 50}, {0, 0, 255}, {30, 220, 90}};
  const std::string path = folder_.file("rle.bmp");
  for (const auto& [bits, compression] : {std::pair{8, 1}, {4, 2}}) {
    const std::string whole =
        test_support::bmp_of(width, height, static_cast<std::uint16_t>(bits),
                             static_cast<std::uint32_t>(compression), colours, codes);
    test_support::write_file(path, whole);
    std::vector<std::string> converted;
    for (const chain_shape& shape : chain_shapes) {
      converted.push_back(chain(path, shape.width, shape.height, shape.flags, shape.target).run());
    }
    for (const std::size_t missing : {1, 2, 3, 4}) {
      test_support::write_file(path, whole.substr(0, whole.size() - missing));
      SCOPED_TRACE(std::to_string(bits) + " bits, " + std::to_string(missing) + " bytes missing");
      for_each_shape_and_threads([&](const chain_shape& shape) {
        chain units(path, shape.width, shape.height, shape.flags, shape.target);
        std::string encoded;
        EXPECT_NO_THROW(encoded = units.run());
        EXPECT_TRUE(encoded == converted[static_cast<std::size_t>(&shape - chain_shapes)]);
      });
    }
  }
}

// libjpeg warns of bytes between segments, which some cameras write, and of
// an end marker missing, and loses nothing: in the header, after a
// progressive photo's last scan, or once every row's data is in, also where a
// few bytes code many flat rows after what libjpeg has read ahead. Each
// converts as the whole file does. Its odd size makes libjpeg's shrunk rows a
// column and a row larger than the image.
TEST_F(image_chain, jpegs_whose_data_is_whole_convert) {
  const vips::VImage photo = test_support::photo_like(1601, 1203);
  const std::string baseline = test_support::encode(photo, ".jpg");
  const std::string progressive = test_support::encode(photo, ".jpg[interlace]");
  const auto unended = [](const std::string& bytes) { return bytes.substr(0, bytes.size() - 2); };
  std::string with_stray_bytes = baseline;
  with_stray_bytes.insert(baseline.find("\xFF\xC4"), 3, '\0');
  std::string padded = progressive;
  padded.insert(progressive.size() - 2, 2, '\0');
  // Written by libjpeg in layouts libvips does not write, smaller to spare time.
  const vips::VImage small = test_support::photo_like(401, 303);
  const std::string components = test_support::jpeg_written(small, a_scan_a_component);
  const std::string arithmetic = test_support::jpeg_written(small, progressive_scans, true);
  const std::string one = test_support::jpeg_written(small, one_scan);
  // Some writers leave a sequential scan's spectral end at zero, which its decoder never reads.
  std::string spectral_end_zero = one;
  const std::size_t scan = spectral_end_zero.find("\xFF\xDA");
  spectral_end_zero[scan + 2 + static_cast<unsigned char>(spectral_end_zero[scan + 3]) - 2] = '\0';
  // Flat rows last, which refinement scans and arithmetic coding code in a few bytes.
  const vips::VImage letterbox = letterboxed_photo(401, 303);
  const vips::VImage narrow = letterboxed_photo(5, 3001);
  const vips::VImage framed = test_support::flat(401, 303, {255, 255, 255})
                                  .insert(test_support::photo_like(301, 203), 50, 50);
  const std::string letterboxed = test_support::jpeg_written(letterbox, progressive_scans);
  const std::string framed_arithmetic = test_support::jpeg_written(framed, progressive_scans, true);
  const std::string letterboxed_sequential_arithmetic =
      test_support::jpeg_written(letterbox, one_scan, true);
  const std::string narrow_components = test_support::jpeg_written(narrow, a_scan_a_component);
  const vips::VImage cmyk =
      small.bandjoin(test_support::flat(401, 303, {40}))
          .copy(vips::VImage::option()->set("interpretation", VIPS_INTERPRETATION_CMYK));
  const std::string ycck = test_support::jpeg_written(cmyk, progressive_scans);
  const std::string narrow_progressive = test_support::jpeg_written(narrow, progressive_scans);
  for (const auto& [whole, bytes] :
       {std::pair{baseline, with_stray_bytes},
        {progressive, padded},
        {baseline, unended(baseline)},
        {progressive, unended(progressive)},
        {components, unended(components)},
        {arithmetic, unended(arithmetic)},
        {one, spectral_end_zero},
        {letterboxed, unended(letterboxed)},
        {framed_arithmetic, unended(framed_arithmetic)},
        {letterboxed_sequential_arithmetic, unended(letterboxed_sequential_arithmetic)},
        {narrow_components, unended(narrow_components)},
        {ycck, unended(ycck)},
        {narrow_progressive, unended(narrow_progressive)}}) {
    const std::string path = folder_.file("whole.jpg");
    test_support::write_file(path, whole);
    std::vector<std::string> converted;
    for (const chain_shape& shape : chain_shapes) {
      converted.push_back(chain(path, shape.width, shape.height, shape.flags, shape.target).run());
    }
    // libvips's decode of the whole file, where it gives the same colours.
    const vips::VImage pixels = test_support::decode(converted.front());
    const vips::VImage decoded = test_support::decode(whole);
    if (decoded.bands() == pixels.bands()) {
      EXPECT_EQ((decoded - pixels).abs().max(), 0);
    }
    test_support::write_file(path, bytes);
    SCOPED_TRACE(std::to_string(bytes.size()) + " bytes");
    for_each_shape_and_threads([&](const chain_shape& shape) {
      chain units(path, shape.width, shape.height, shape.flags, shape.target);
      std::string encoded;
      EXPECT_NO_THROW(encoded = units.run());
      EXPECT_TRUE(encoded == converted[static_cast<std::size_t>(&shape - chain_shapes)]);
    });
  }
}

TEST_F(image_chain, unit_misuse_and_targets_without_an_encoder) {
  using test_support::expect_error;
  const std::string path = source(test_support::photo_like(40, 30), formats::png, "p.png");
  gdiplus_image_save_stream orphan(nullptr, "x.jpg", {});
  expect_error<std::runtime_error>([&] { orphan.run(); }, "Invalid unit.");
  EXPECT_THROW(orphan.image(), core::not_supported_exception);

  gdiplus_image_open_file open(path);
  gdiplus_image_resize resize(&open, 20, 20, bicubic, thumbnail_flags);
  gdiplus_image_save_stream save(&resize, "x.jpg", {});
  expect_error<std::runtime_error>([&] { resize.execute(); }, "Invalid image.");
  expect_error<std::runtime_error>([&] { save.execute(); }, "Invalid image.");

  for (const auto& [target, mime] : {std::pair<const char*, std::string>{"x.psd", "image/psd"},
                                     {"x", ""},
                                     {"x.jpg.", ""},
                                     {"dir.jpg/x", ""}}) {
    gdiplus_image_save_stream named(&open, target, {});
    expect_error<graphics_exception>(
        [&] { named.run(); },
        "Cannnot find the encoder for the given file format: '" + mime + "'.");
  }
  gdiplus_image_save_stream dot_jpg(&open, ".jpg", {});
  EXPECT_NO_THROW(dot_jpg.run());
}

TEST_F(image_chain, interpolation_is_checked_when_the_size_changes) {
  const std::string path = source(test_support::photo_like(40, 30), formats::png, "p.png");
  const auto bad = static_cast<image_interpolation_mode>(4);
  chain shrinking(path, 20, 20, thumbnail_flags, "x.png", {}, bad);
  test_support::expect_error<gdip::gdiplus_exception>(
      [&] { shrinking.run(); },
      "Cannot convert 'image_interpolation_mode': 4 into the 'Gdiplus::InterpolationMode'. "
      "[GdiplusErrorCode: 0, Ok.]");
  chain keeping(path, 80, 80, thumbnail_flags, "x.png", {}, bad);
  EXPECT_NO_THROW(keeping.run());
}

TEST_F(image_chain, runs_again_and_releases_files) {
  const std::string path =
      source(test_support::photo_like(300, 200), formats::jpeg, "photo [1] été.jpg");
  const int descriptors = test_support::open_descriptors();
  {
    chain units(path, 100, 100, archive_flags, "photo [1] été.jpg");
    const std::string first = units.run();
    const std::string second = units.run();
    EXPECT_EQ(first, second);  // the second run replaces the first one's bytes
    EXPECT_EQ(units.save.device().size(), first.size());
  }
  EXPECT_EQ(test_support::open_descriptors(), descriptors);
}

}  // namespace
