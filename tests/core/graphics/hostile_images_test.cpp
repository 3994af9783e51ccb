#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cerrno>
#include <functional>
#include <sstream>
#include <string_view>

#include "core/graphics/gdip/batch/gdiplus_image_open_file.hpp"
#include "core/graphics/gdip/batch/gdiplus_image_resize.hpp"
#include "core/graphics/gdip/batch/gdiplus_image_save_stream.hpp"
#include "core/graphics/gdip/gdiplus_exception.hpp"
#include "core/graphics/gdip/gdiplus_image_codec.hpp"
#include "core/graphics/gdip/hd_photo_decoder_program.hpp"
#include "tests/core/graphics/crafted_images.hpp"
#include "tests/support/descriptors.hpp"
#include "tests/support/image_codecs.hpp"
#include "tests/support/sample_images.hpp"
#include "tests/support/table.hpp"
#include "tests/support/temp_folder.hpp"

namespace {

using namespace core::graphics;
using namespace core::graphics::gdip::batch;
namespace formats = core::graphics::image_formats;

void put_le16(std::string& out, std::uint16_t value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>(value >> 8);
}

void put_le32(std::string& out, std::uint32_t value) {
  put_le16(out, static_cast<std::uint16_t>(value & 0xFFFF));
  put_le16(out, static_cast<std::uint16_t>(value >> 16));
}

void set_be16(std::string& bytes, std::size_t at, std::uint16_t value) {
  bytes[at] = static_cast<char>(value >> 8);
  bytes[at + 1] = static_cast<char>(value & 0xFF);
}

struct directory_entry {
  std::uint16_t tag, type;
  std::uint32_t count, value;
};

// An HD Photo container: the signature "II" BC 01, the offset of its one
// directory, the directory (entry count, 12-byte entries in tag order, next
// directory 0), then data.
std::string hd_photo_container(const std::vector<directory_entry>& entries,
                               const std::string& data = {}) {
  std::string file("II\xBC\x01", 4);
  put_le32(file, 8);
  put_le16(file, static_cast<std::uint16_t>(entries.size()));
  for (const directory_entry& entry : entries) {
    put_le16(file, entry.tag);
    put_le16(file, entry.type);
    put_le32(file, entry.count);
    put_le32(file, entry.value);
  }
  put_le32(file, 0);
  return file + data;
}

constexpr std::uint16_t type_byte = 1, type_long = 4;

// The codestream JxrEncApp writes for a black 16 x 16 RGB image: "WMPHOTO",
// four bytes of flags (short header), then width - 1 and height - 1 as
// big-endian 16-bit numbers at 12 and 14, then the rest.
const unsigned char black_16x16_codestream[] = {
    0x57, 0x4d, 0x50, 0x48, 0x4f, 0x54, 0x4f, 0x00, 0x11, 0x45, 0xc0, 0x71, 0x00, 0x0f, 0x00, 0x0f,
    0x70, 0x00, 0xc1, 0x42, 0xc3, 0x8c, 0x14, 0x2c, 0x38, 0xc1, 0x62, 0xe3, 0x80, 0x00, 0x01, 0x00,
    0x00, 0x00, 0x08, 0x00, 0x23, 0xff, 0xff, 0x00, 0x00, 0x01, 0x01, 0xe3, 0x08, 0x00, 0x00, 0x00,
    0x00, 0x01, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x03, 0x47, 0x20};

// GUID_PKPixelFormat24bppRGB as stored; the other formats differ in the last byte.
const char rgb24_format[] = "\x24\xC3\xDD\x6F\x03\x4E\xFE\x4B\xB1\x85\x3D\x77\x76\x8D\xC9\x0D";
constexpr char cmyk64_format_last = '\x1F';

// A black RGB HD Photo whose container and codestream claim width x height,
// cut or padded with zeros to file_size bytes (0: as it comes); its container
// may claim another pixel format.
std::string hd_photo(std::uint16_t width_minus_1, std::uint16_t height_minus_1,
                     std::size_t file_size = 0, char format_last = rgb24_format[15]) {
  std::string codestream(reinterpret_cast<const char*>(black_16x16_codestream),
                         sizeof black_16x16_codestream);
  set_be16(codestream, 12, width_minus_1);
  set_be16(codestream, 14, height_minus_1);
  std::string format(rgb24_format, 16);
  format.back() = format_last;
  constexpr std::uint32_t entries = 6;
  constexpr std::uint32_t data = 8 + 2 + 12 * entries + 4;
  std::string file =
      hd_photo_container({{0xBC01, type_byte, 16, data},  // pixel format: the GUID at data
                          {0xBC02, type_long, 1, 0},      // orientation: as stored
                          {0xBC80, type_long, 1, width_minus_1 + 1U},
                          {0xBC81, type_long, 1, height_minus_1 + 1U},
                          {0xBCC0, type_long, 1, data + 16},  // the codestream after the GUID
                          {0xBCC1, type_long, 1, static_cast<std::uint32_t>(codestream.size())}},
                         format + codestream);
  if (file_size != 0) {
    file.resize(file_size, '\0');
  }
  return file;
}

// 26 bytes: a directory whose one entry sets the orientation to 8, one past
// the last that jxrlib knows; its assertion on it aborts the decoding process.
std::string hd_photo_orientation_8() {
  return hd_photo_container({{0xBC02, type_long, 1, 8}});
}

bool has_children() {
  return !(::waitpid(-1, nullptr, WNOHANG) < 0 && errno == ECHILD);
}

class hostile_images : public testing::Test {
 protected:
  void SetUp() override { test_support::register_image_codecs(); }

  // Runs the archive job's chain on the file at path into a JPEG thumbnail.
  static std::string thumbnail(const std::string& path) {
    gdiplus_image_open_file open(path);
    gdiplus_image_resize resize(&open, 160, 160, bicubic, fit_size | no_enlarge);
    gdiplus_image_save_stream save(&resize, "t.jpg", {});
    save.run();
    return {save.device().data(), save.device().size()};
  }

  std::string write(const std::string& name, const std::string& bytes) {
    const std::string path = folder_.file(name);
    test_support::write_file(path, bytes);
    return path;
  }

  test_support::temp_folder folder_;
};

// The crafted container is sound: only the claims of the hostile ones differ.
TEST_F(hostile_images, crafted_hd_photo_decodes) {
  const vips::VImage decoded =
      test_support::decode(thumbnail(write("black.hdp", hd_photo(15, 15))));
  EXPECT_EQ(decoded.width(), 16);
  EXPECT_EQ(decoded.height(), 16);
  EXPECT_NEAR(decoded.avg(), 0, 2);
}

TEST_F(hostile_images, missing_helper_fails_the_photo) {
  const std::string helper = gdip::hd_photo_decoder_program();
  gdip::set_hd_photo_decoder_program(folder_.file("no-such-helper"));
  const std::string path = write("black.wdp", hd_photo(15, 15));
  try {
    thumbnail(path);
    ADD_FAILURE() << "no exception";
  } catch (const gdip::gdiplus_exception& e) {
    EXPECT_EQ(e.status(), gdip::status::win32_error);
    EXPECT_TRUE(
        std::string_view(e.what()).ends_with("Microsoft Win32 error.]: No such file or directory"))
        << e.what();
  }
  gdip::set_hd_photo_decoder_program(helper);
  EXPECT_FALSE(has_children());
  EXPECT_NO_THROW(thumbnail(path));
}

struct hostile_case {
  const char* name;
  std::function<std::string()> bytes;
  int status;
  const char* status_text;
  // What the failure adds after its frame, opening the file and decoding
  // its bytes; empty for none.
  std::string file_reason = {};
  std::string bytes_reason = file_reason;
};

std::string with_reason(const std::string& text, const std::string& reason) {
  return reason.empty() ? text : text + ": " + reason;
}

class hostile_files : public hostile_images, public testing::WithParamInterface<hostile_case> {};

// Whatever the file is called, the process survives, nothing is left behind
// and the next photo still converts.
TEST_P(hostile_files, fail_the_photo_alone) {
  const hostile_case& c = GetParam();
  const std::string bytes = c.bytes();
  const std::string frame =
      " [GdiplusErrorCode: " + std::to_string(c.status) + ", " + c.status_text + "]";
  const int descriptors = test_support::open_descriptors();

  const std::string path = write(std::string(c.name) + ".jpg", bytes);
  try {
    thumbnail(path);
    ADD_FAILURE() << "no exception";
  } catch (const gdip::gdiplus_exception& e) {
    EXPECT_EQ(e.what(),
              with_reason("Cannot load the bitmap: '" + path + "'." + frame, c.file_reason));
  }

  gdip::gdiplus_image_codec codec;
  std::istringstream in(bytes);
  decoded_image decoded;
  try {
    codec.decode(decoded, in);
    ADD_FAILURE() << "no exception";
  } catch (const gdip::gdiplus_exception& e) {
    EXPECT_EQ(e.what(),
              with_reason("Cannot load a GDI+ bitmap from the IStream." + frame, c.bytes_reason));
  }
  EXPECT_FALSE(decoded.first);

  EXPECT_FALSE(has_children());
  EXPECT_EQ(test_support::open_descriptors(), descriptors);
  const vips::VImage next = test_support::decode(thumbnail(write("next.wdp", hd_photo(15, 15))));
  EXPECT_EQ(next.width(), 16);
}

// A constant image of width x height saved in the format of suffix (with the
// option that makes its decoder hold it whole); RGBA for PNG.
std::function<std::string()> decoded_whole(int width, int height, const char* suffix) {
  return [=] {
    const bool alpha = std::string_view(suffix) == ".png";
    return test_support::encode(
        test_support::flat(width, height,
                           alpha ? std::vector<double>{9, 9, 9, 9} : std::vector<double>{9, 9, 9}),
        suffix);
  };
}

const char* const damaged = "An error on the method call.";
const char* const too_large = "Could not allocate memory to process the method call.";

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    files, hostile_files,
    testing::Values(
        hostile_case{"hd_photo_orientation_8", hd_photo_orientation_8, 1, damaged},
        hostile_case{"hd_photo_signature_alone", [] { return std::string("II\xBC\x01", 4); }, 1, damaged},
        // Two bytes short: jxrlib decodes what it finds and makes up the rest.
        hostile_case{"hd_photo_shorter_than_its_image_data", [] { return hd_photo(15, 15, 180); }, 1, damaged},
        hostile_case{"hd_photo_claiming_12_gb", [] { return hd_photo(0xFFFF, 0xFFFF, 150); }, 3, too_large,
                     "its 65536 x 65536 pixels take 12288 MiB decoded whole, over 192 MiB"},
        hostile_case{"hd_photo_claiming_16384_square", [] { return hd_photo(0x3FFF, 0x3FFF, 450); }, 3, too_large,
                     "its 16384 x 16384 pixels take 768 MiB decoded whole, over 192 MiB"},
        // 8 bytes a pixel arrive, though 3 would do once converted.
        hostile_case{"hd_photo_cmyk_16_bit_claiming_6000_x_5000", [] { return hd_photo(5999, 4999, 0, cmyk64_format_last); }, 3, too_large,
                     "its 6000 x 5000 pixels take 229 MiB decoded whole, over 192 MiB"},
        hostile_case{"jpeg_claiming_30000_square", [] { return test_support::jpeg_claiming(30000, 30000); }, 3, too_large,
                     "its 803 bytes cannot hold the 30000 x 30000 pixels it declares",
                     "its 30000 x 30000 pixels take 2575 MiB decoded whole, over 320 MiB"},
        // Read in strips these would pass; their decoders hold them whole.
        // The bytes are first judged by what their decoded copy takes.
        hostile_case{"progressive_jpeg_of_12000_x_10000", [] { return test_support::jpeg_claiming(12000, 10000, ".jpg[interlace]"); }, 3, too_large,
                     "its 12000 x 10000 pixels take 344 MiB decoded whole, over 320 MiB"},
        // Y sampled 2 x 1, each chroma 1 x 1: libvips calls it 4:2:0, yet each
        // chroma plane holds half the pixels' coefficients, not a quarter.
        hostile_case{"progressive_jpeg_4_2_2_of_10240_square", [] { return test_support::progressive_jpeg_claiming(10240, 10240, 0x21, 0x11, 0x11); }, 3, too_large,
                     "its 10240 x 10240 pixels take 400 MiB decoded whole, over 320 MiB"},
        // libjpeg holds every coefficient whenever the first scan lacks a component.
        hostile_case{"baseline_jpeg_a_scan_a_component_of_12000_x_10000", [] { return test_support::baseline_jpeg_a_scan_a_component(12000, 10000); }, 3, too_large,
                     "its 12000 x 10000 pixels take 344 MiB decoded whole, over 320 MiB"},
        hostile_case{"progressive_jpeg_behind_a_restart_marker_of_12000_x_10000", [] { return test_support::progressive_jpeg_behind_a_restart_marker(12000, 10000); }, 3, too_large,
                     "its 12000 x 10000 pixels take 344 MiB decoded whole, over 320 MiB"},
        hostile_case{"planar_tiff_a_strip_a_plane", [] { return test_support::tiff_claiming({12000, 10000, true, 10000}); }, 3, too_large,
                     "its 12000 x 10000 pixels take 367 MiB decoded whole, over 320 MiB",
                     "its 12000 x 10000 pixels take 344 MiB decoded whole, over 320 MiB"},
        hostile_case{"tiff_of_one_row_of_tiles", [] { return test_support::tiff_claiming({98304, 4096, false, 0, 4096}); }, 3, too_large,
                     "its 98304 x 4096 pixels take 1344 MiB decoded whole, over 320 MiB",
                     "its 98304 x 4096 pixels take 1152 MiB decoded whole, over 320 MiB"},
        hostile_case{"tiff_of_wide_tile_rows", [] { return test_support::tiff_claiming({45000, 4096, false, 0, 1024}); }, 3, too_large,
                     "its 45000 x 4096 pixels are too wide to read in strips",
                     "its 45000 x 4096 pixels take 528 MiB decoded whole, over 320 MiB"},
        // Alpha is resampled premultiplied, in float.
        hostile_case{"rgba_png_45000_wide", decoded_whole(45000, 8, ".png"), 3, too_large,
                     "its 45000 x 8 pixels are too wide to read in strips"},
        hostile_case{"interlaced_png_of_11000_x_10500", decoded_whole(11000, 10500, ".png[interlace]"), 3, too_large,
                     "its 11000 x 10500 pixels take 331 MiB decoded whole, over 320 MiB"},
        // Its frame alone would fit; its loader holds the bytes up to its image's end beside it.
        hostile_case{"gif_of_9158_square_after_a_comment_of_a_megabyte", [] { return test_support::gif_claiming(9158, 9158, 1000000); }, 3, too_large,
                     "its 9158 x 9158 pixels decoded whole and the 1 MiB of its file read for them take 321 MiB, over 320 MiB"},
        // Its file's rows are read in strips; its bytes are decoded whole.
        hostile_case{"bmp_claiming_20000_square", [] { return test_support::bmp_claiming(20000, 20000); }, 3, too_large,
                     "its 906 bytes cannot hold the 20000 x 20000 pixels it declares",
                     "its 20000 x 20000 pixels take 1145 MiB decoded whole, over 320 MiB"}),
    test_support::row_name());
// clang-format on

}  // namespace
