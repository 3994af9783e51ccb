#include "core/graphics/gdip/gdiplus_image_codec.hpp"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <sstream>

#include "core/graphics/gdip/gdiplus_exception.hpp"
#include "core/graphics/graphics_exception.hpp"
#include "tests/support/expect_error.hpp"
#include "tests/support/image_codecs.hpp"
#include "tests/support/sample_images.hpp"
#include "tests/support/table.hpp"
#include "tests/support/temp_folder.hpp"

namespace {

using namespace core::graphics;
using bytes = std::vector<std::uint8_t>;

using rgb = std::array<int, 3>;

constexpr rgb red{255, 0, 0}, green{0, 255, 0}, blue{0, 0, 255}, white{255, 255, 255},
    black{0, 0, 0}, yellow{255, 255, 0};

// red green blue / white black yellow, as rgb24 (B, G, R): rows of 9 bytes.
const bytes six_rgb24{0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 0, 0, 0, 0, 255, 255};

raster_image raster_of(const bytes& pixels, pixel_format::pixel_format format, std::uint32_t width,
                       std::uint32_t height) {
  raster_image raster;
  std::istringstream in(std::string(pixels.begin(), pixels.end()));
  raster.reset(in, format, width, height);
  return raster;
}

rgb argb_at(const raster_image& raster, std::uint32_t x, std::uint32_t y) {
  const std::uint8_t* p = raster.pixels.get() + 4 * (y * raster.width + x);
  return {p[2], p[1], p[0]};
}

std::shared_ptr<std::iostream> encode(image_codec& codec, const bytes& pixels, image_data header,
                                      const char* extension) {
  std::istringstream in(std::string(pixels.begin(), pixels.end()));
  core::key_value_params params;
  if (extension != nullptr) {
    params["extension"] = extension;
  }
  std::shared_ptr<std::iostream> out;
  codec.encode(out, in, std::make_shared<image_data>(header), params);
  return out;
}

class codec_test : public testing::Test {
 protected:
  void SetUp() override { test_support::register_image_codecs(); }

  gdip::gdiplus_image_codec codec_;
};

struct encode_case {
  const char* name;
  pixel_format::pixel_format format;
  std::uint32_t width, height;
  bytes pixels;
  const char* extension;  // nullptr: no "extension" parameter
  image_format written;
  std::vector<rgb> expected;  // row by row
};

class codec_encode : public codec_test, public testing::WithParamInterface<encode_case> {};

// Rows of 3 pixels are 9 or 6 bytes long, never a multiple of 4: each must
// start where the previous one ended.
TEST_P(codec_encode, packed_rows_decode_back_in_place) {
  const encode_case& c = GetParam();
  const std::shared_ptr<std::iostream> out =
      encode(codec_, c.pixels, {c.width, c.height, c.format}, c.extension);
  ASSERT_TRUE(out);
  const std::string encoded{std::istreambuf_iterator<char>(*out), {}};
  EXPECT_EQ(test_support::signature_of(encoded), c.written);
  const vips::VImage decoded = test_support::decode(encoded);
  ASSERT_EQ(decoded.width(), static_cast<int>(c.width));
  ASSERT_EQ(decoded.height(), static_cast<int>(c.height));
  for (int i = 0; i < static_cast<int>(c.expected.size()); ++i) {
    const std::vector<double> p = decoded.getpoint(i % decoded.width(), i / decoded.width());
    EXPECT_EQ((rgb{int(p[0]), int(p[1]), int(p[2])}), c.expected[i]) << "pixel " << i;
  }
}

// clang-format off
const std::vector<rgb> six{red, green, blue, white, black, yellow};

INSTANTIATE_TEST_SUITE_P(
    formats, codec_encode,
    testing::Values(
        encode_case{"rgb24_to_bmp_by_default", pixel_format::rgb24, 3, 2, six_rgb24, nullptr, image_formats::bmp, six},
        encode_case{"rgb24_to_png", pixel_format::rgb24, 3, 2, six_rgb24, ".PNG", image_formats::png, six},
        encode_case{"rgb565_to_tiff", pixel_format::rgb565, 3, 2,
                    {0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0xE0, 0xFF}, ".tif", image_formats::tiff, six},
        encode_case{"rgb555_to_png", pixel_format::rgb555, 3, 2,
                    {0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0xFF, 0x7F, 0x00, 0x00, 0xE0, 0x7F}, ".png", image_formats::png, six},
        encode_case{"argb32_to_bmp", pixel_format::argb32, 3, 1, {0, 0, 255, 255, 0, 255, 0, 255, 255, 0, 0, 255},
                    ".bmp", image_formats::bmp, {red, green, blue}},
        encode_case{"short_stream_reads_as_black", pixel_format::rgb24, 3, 1, {0, 0, 255}, ".png", image_formats::png,
                    {red, black, black}}),
    test_support::row_name());
// clang-format on

TEST_F(codec_test, decode_gives_argb_rows) {
  void* buffer = nullptr;
  std::size_t size = 0;
  test_support::flat(3, 2, {10, 20, 30, 128}).write_to_buffer(".png", &buffer, &size);
  std::istringstream png(std::string(static_cast<const char*>(buffer), size));
  g_free(buffer);

  decoded_image decoded;
  codec_.decode(decoded, png);
  ASSERT_TRUE(decoded.first && decoded.second);
  EXPECT_EQ(decoded.first->width, 3U);
  EXPECT_EQ(decoded.first->height, 2U);
  EXPECT_EQ(decoded.first->format, pixel_format::argb32);
  const std::string pixels{std::istreambuf_iterator<char>(*decoded.second), {}};
  ASSERT_EQ(pixels.size(), 24U);
  for (std::size_t i = 0; i < pixels.size(); i += 4) {
    EXPECT_EQ(bytes(pixels.begin() + i, pixels.begin() + i + 4), (bytes{30, 20, 10, 128})) << i;
  }
}

// An image beyond the imaging library's threshold for memory, decoded from
// bytes, never goes through a file of the library's own in $TMPDIR, which a
// kill would leave behind: with none to write to, it decodes all the same.
TEST_F(codec_test, decode_of_a_large_image_writes_no_file) {
  std::istringstream png(test_support::encode(test_support::flat(6000, 6000, {10, 20, 30}), ".png"));
  const test_support::scoped_env tmpdir("TMPDIR", "/nonexistent");
  decoded_image decoded;
  codec_.decode(decoded, png);
  ASSERT_TRUE(decoded.first);
  EXPECT_EQ(decoded.first->width, 6000U);
}

// HD Photo is decoded in a helper process; its pixels come back in place.
TEST_F(codec_test, decode_hd_photo_gives_its_size_and_pixels) {
  const test_support::temp_folder folder;
  for (const std::vector<double>& colour :
       {std::vector<double>{255, 0, 0}, std::vector<double>{0, 0, 255, 128}}) {
    SCOPED_TRACE(colour.size());
    const vips::VImage left = test_support::flat(30, 20, colour);
    const vips::VImage right = test_support::flat(30, 20, std::vector<double>(colour.size(), 255));
    const std::string path = folder.file("halves.wdp");
    test_support::write_image(left.join(right, VIPS_DIRECTION_HORIZONTAL), path,
                              image_formats::hd_photo);
    std::istringstream in(test_support::read_file(path));

    decoded_image decoded;
    codec_.decode(decoded, in);
    ASSERT_EQ(decoded.first->width, 60U);
    ASSERT_EQ(decoded.first->height, 20U);
    const std::string pixels{std::istreambuf_iterator<char>(*decoded.second), {}};
    ASSERT_EQ(pixels.size(), 60U * 20 * 4);
    const auto argb_at = [&](int x, int y) {
      const auto* p = reinterpret_cast<const std::uint8_t*>(pixels.data()) + 4 * (y * 60 + x);
      return std::vector<double>{double(p[2]), double(p[1]), double(p[0]), double(p[3])};
    };
    const std::vector<double> expected_left{colour[0], colour[1], colour[2],
                                            colour.size() == 4 ? colour[3] : 255};
    for (int band = 0; band < 4; ++band) {
      EXPECT_NEAR(argb_at(10, 10)[band], expected_left[band], 4) << "band " << band;
      EXPECT_NEAR(argb_at(50, 10)[band], 255, 4) << "band " << band;
    }
  }
}

struct transform_case {
  const char* name;
  image_transform_mode mode;
  std::uint32_t width, height;
  std::vector<rgb> expected;
};

class codec_transform : public codec_test, public testing::WithParamInterface<transform_case> {};

TEST_P(codec_transform, turns_pixels_and_gives_argb) {
  const transform_case& c = GetParam();
  raster_image raster = raster_of(six_rgb24, pixel_format::rgb24, 3, 2);
  codec_.transform(raster, c.mode);
  ASSERT_EQ(raster.width, c.width);
  ASSERT_EQ(raster.height, c.height);
  EXPECT_EQ(raster.format, pixel_format::argb32);
  EXPECT_EQ(raster.size, 4U * c.width * c.height);
  for (std::uint32_t i = 0; i < c.width * c.height; ++i) {
    EXPECT_EQ(argb_at(raster, i % c.width, i / c.width), c.expected[i]) << "pixel " << i;
  }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    modes, codec_transform,
    testing::Values(
        transform_case{"none", rotate_none, 3, 2, {red, green, blue, white, black, yellow}},
        transform_case{"rotate_90_clockwise", rotate_90, 2, 3, {white, red, black, green, yellow, blue}},
        transform_case{"rotate_180", rotate_180, 3, 2, {yellow, black, white, blue, green, red}},
        transform_case{"rotate_270", rotate_270, 2, 3, {blue, yellow, green, black, red, white}},
        transform_case{"mirror_left_right", flip_x, 3, 2, {blue, green, red, yellow, black, white}},
        transform_case{"mirror_top_bottom", flip_y, 3, 2, {white, black, yellow, red, green, blue}}),
    test_support::row_name());
// clang-format on

TEST_F(codec_test, resize_to_exact_size_in_every_mode) {
  bytes blue565;  // 5 x 3
  for (int i = 0; i < 15; ++i) {
    blue565.insert(blue565.end(), {0x1F, 0x00});
  }
  for (image_interpolation_mode mode :
       {nearest_neighbor, bilinear, bicubic, high_quality_bicubic}) {
    raster_image raster = raster_of(blue565, pixel_format::rgb565, 5, 3);
    codec_.resize(raster, 8, 2, mode);
    ASSERT_EQ(raster.size, 64U) << mode;
    EXPECT_EQ(raster.width, 8U);
    EXPECT_EQ(raster.format, pixel_format::argb32);
    EXPECT_EQ(argb_at(raster, 7, 1), blue);
    codec_.resize(raster, 8, 2, mode);  // the same size is resampled too
    EXPECT_EQ(argb_at(raster, 0, 0), blue);
  }
}

struct refusal_case {
  const char* name;
  std::function<void(image_codec&, raster_image&)> call;
  const char* message;
};

class codec_refusal : public codec_test, public testing::WithParamInterface<refusal_case> {};

TEST_P(codec_refusal, throws_and_leaves_the_raster) {
  raster_image raster = raster_of(bytes(16, 7), pixel_format::argb32, 2, 2);
  const auto pixels = raster.pixels;
  try {
    GetParam().call(codec_, raster);
    FAIL() << "no exception";
  } catch (const graphics_exception& e) {
    EXPECT_STREQ(e.what(), GetParam().message);
  }
  EXPECT_EQ(raster.pixels, pixels);
  EXPECT_EQ(raster.width, 2U);
}

std::istringstream failing(std::ios_base::iostate state) {
  std::istringstream stream;
  stream.setstate(state);
  return stream;
}

void decode(image_codec& codec, std::istringstream in) {
  decoded_image decoded;
  codec.decode(decoded, in);
}

const std::string truncated_png("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR", 16);
const char* const zero_side =
    "Cannot create a new GDI+ bitmap. [GdiplusErrorCode: 2, One of the arguments passed to the "
    "method is not valid.]";

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    calls, codec_refusal,
    testing::Values(
        refusal_case{"encode_failed_stream", [](auto& c, auto&) {
                       std::shared_ptr<std::iostream> out;
                       auto in = failing(std::ios_base::failbit);
                       c.encode(out, in, std::make_shared<image_data>(), {}); },
                     "Cannot encode the image stream. Make sure that the provided stream is valid."},
        refusal_case{"encode_hd_photo", [](auto& c, auto&) { encode(c, bytes(4), {1, 1, pixel_format::argb32}, ".wdp"); },
                     "Cannnot find the encoder for the given file format: 'image/vnd.ms-photo'."},
        refusal_case{"encode_zero_width", [](auto& c, auto&) { encode(c, bytes(4), {0, 1, pixel_format::argb32}, nullptr); },
                     zero_side},
        refusal_case{"decode_failed_stream", [](auto& c, auto&) { decode(c, failing(std::ios_base::badbit)); },
                     "Cannot decode the image stream. Make sure that the provided stream is valid."},
        refusal_case{"decode_text", [](auto& c, auto&) { decode(c, std::istringstream("not an image at all")); },
                     "Cannot load a GDI+ bitmap from the IStream. [GdiplusErrorCode: 13, The specified image file "
                     "format is not known.]"},
        refusal_case{"decode_truncated_png", [](auto& c, auto&) { decode(c, std::istringstream(truncated_png)); },
                     "Cannot load a GDI+ bitmap from the IStream. [GdiplusErrorCode: 1, An error on the method call.]"},
        refusal_case{"transform_format_3", [](auto& c, auto& r) {
                       r.format = pixel_format::unnamed_32bpp_3;
                       c.transform(r, rotate_90); },
                     "Cannot convert 'pixel_format::pixel_format': 3 into the 'Gdiplus::PixelFormat'. "
                     "[GdiplusErrorCode: 0, Ok.]"},
        refusal_case{"transform_mode_4", [](auto& c, auto& r) { c.transform(r, static_cast<image_transform_mode>(4)); },
                     "Cannot convert 'image_transform_mode': 4 into the 'Gdiplus::RotateFlipType'. "
                     "[GdiplusErrorCode: 0, Ok.]"},
        refusal_case{"resize_to_zero", [](auto& c, auto& r) { c.resize(r, 0, 5, bicubic); }, zero_side},
        refusal_case{"resize_interpolation_4", [](auto& c, auto& r) { c.resize(r, 1, 1, static_cast<image_interpolation_mode>(4)); },
                     "Cannot convert 'image_interpolation_mode': 4 into the 'Gdiplus::InterpolationMode'. "
                     "[GdiplusErrorCode: 0, Ok.]"}),
    test_support::row_name());
// clang-format on

TEST(raster_image, reset_reads_from_the_start_and_refuses_bad_input) {
  raster_image raster;
  std::istringstream in("abcdefgh");
  in.seekg(5);
  raster.reset(in, pixel_format::unnamed_32bpp_3, 1, 2);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(raster.pixels.get()), raster.size),
            "abcdefgh");
  std::istringstream short_in("xy");
  raster.reset(short_in, pixel_format::rgb555, 2, 1);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(raster.pixels.get()), raster.size),
            std::string("xy\0\0", 4));

  using test_support::expect_error;
  std::istringstream failed;
  failed.setstate(std::ios_base::failbit);
  expect_error<graphics_exception>([&] { raster.reset(failed, pixel_format::rgb24, 1, 1); },
                                   "cannot reset the image. Input stream is invalid.");
  std::istringstream fine("abc");
  expect_error<graphics_exception>(
      [&] { raster.reset(fine, static_cast<pixel_format::pixel_format>(9), 1, 1); },
      "Cannot get the size of a pixel.");
  expect_error<graphics_exception>(
      [&] { raster.reset(fine, pixel_format::argb32, 0xFFFFFFFF, 0xFFFFFFFF); },
      "cannot reset the image. The image is too large.");
  EXPECT_EQ(raster.format, pixel_format::rgb555);
  EXPECT_EQ(raster.size, 4U);
}

}  // namespace
