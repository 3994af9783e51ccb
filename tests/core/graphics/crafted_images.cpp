#include "tests/core/graphics/crafted_images.hpp"

// libjpeg's header needs FILE and size_t declared first.
#include <cstdio>
#include <jpeglib.h>

#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <vector>

#include "tests/support/sample_images.hpp"

namespace test_support {

namespace {

void put(std::string& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) {
    out += static_cast<char>(value >> (8 * i) & 0xFF);
  }
}

struct tag {
  std::uint16_t id, type;
  std::uint32_t count, value;
};

constexpr std::uint16_t type_short = 3, type_long = 4;

}  // namespace

std::string tiff_claiming(const tiff_claim& claim) {
  const std::uint32_t planes = claim.planar ? 3 : 1;
  const bool tiled = claim.rows_per_strip == 0;
  const std::uint32_t across = tiled ? (claim.width + claim.tile_side - 1) / claim.tile_side : 1;
  const std::uint32_t rows = tiled ? claim.tile_side : claim.rows_per_strip;
  const std::uint32_t pieces = across * ((claim.height + rows - 1) / rows) * planes;
  // Header, then the arrays: bits per sample, offsets, byte counts; then
  // the directory, then 16 zero bytes every piece points at.
  const std::uint32_t bits_at = 8, offsets_at = bits_at + 6, counts_at = offsets_at + 4 * pieces;
  const std::uint32_t directory_at = counts_at + 4 * pieces;
  std::vector<tag> tags{{256, type_long, 1, claim.width},
                        {257, type_long, 1, claim.height},
                        {258, type_short, 3, bits_at},
                        {259, type_short, 1, claim.compression},
                        {262, type_short, 1, 2},
                        {277, type_short, 1, 3},
                        {284, type_short, 1, planes == 3 ? 2U : 1U}};
  if (tiled) {
    tags.insert(tags.end(), {{322, type_long, 1, claim.tile_side},
                             {323, type_long, 1, claim.tile_side},
                             {324, type_long, pieces, offsets_at},
                             {325, type_long, pieces, counts_at}});
  } else {
    tags.insert(tags.begin() + 5, {273, type_long, pieces, offsets_at});
    tags.insert(tags.begin() + 7, {{278, type_long, 1, rows}, {279, type_long, pieces, counts_at}});
  }
  const std::uint32_t data_at = directory_at + 2 + 12 * static_cast<std::uint32_t>(tags.size()) + 4;
  std::string file("II*\0", 4);
  put(file, directory_at, 4);
  for (int i = 0; i < 3; ++i) {
    put(file, claim.bits, 2);
  }
  for (std::uint32_t i = 0; i < pieces; ++i) {
    put(file, data_at, 4);
  }
  for (std::uint32_t i = 0; i < pieces; ++i) {
    put(file, 16, 4);
  }
  put(file, static_cast<std::uint32_t>(tags.size()), 2);
  for (const tag& t : tags) {
    put(file, t.id, 2);
    put(file, t.type, 2);
    put(file, t.count, 4);
    put(file, t.value, 4);
  }
  put(file, 0, 4);
  return file + std::string(16, '\0');
}

std::string bmp_claiming(std::uint32_t width, std::uint32_t height) {
  const std::string bytes = encode(flat(16, 16, {9, 9, 9}), ".bmp");
  std::string sides;
  put(sides, width, 4);
  put(sides, height, 4);
  return bytes.substr(0, 18) + sides + bytes.substr(26);
}

std::string progressive_jpeg_claiming(std::uint16_t width, std::uint16_t height, unsigned char y,
                                      unsigned char cb, unsigned char cr) {
  std::string bytes = jpeg_claiming(width, height, ".jpg[interlace]");
  const std::size_t frame = bytes.find("\xFF\xC2");
  bytes[frame + 11] = static_cast<char>(y);
  bytes[frame + 14] = static_cast<char>(cb);
  bytes[frame + 17] = static_cast<char>(cr);
  return bytes;
}

std::string baseline_jpeg_a_scan_a_component(std::uint16_t width, std::uint16_t height) {
  std::string bytes = jpeg_claiming(width, height);
  const std::size_t scan = bytes.find("\xFF\xDA");
  // Length 8, one component: the first, its tables as they were; then the
  // whole spectrum, no approximation.
  const std::string one = std::string("\xFF\xDA\x00\x08\x01", 5) + bytes.substr(scan + 5, 2) +
                          std::string("\x00\x3F\x00", 3);
  const std::size_t length =
      std::size_t{static_cast<unsigned char>(bytes[scan + 2])} << 8 |
      static_cast<unsigned char>(bytes[scan + 3]);
  return bytes.replace(scan, 2 + length, one);
}

std::string progressive_jpeg_behind_a_restart_marker(std::uint16_t width, std::uint16_t height) {
  const std::string real = progressive_jpeg_claiming(width, height, 0x22, 0x11, 0x11);
  // A baseline frame header of the same sides, in a comment's body.
  std::string fake("\xFF\xC0\x00\x11\x08", 5);
  fake += {static_cast<char>(height >> 8), static_cast<char>(height & 0xFF),
           static_cast<char>(width >> 8), static_cast<char>(width & 0xFF)};
  fake += std::string("\x03\x01\x22\x00\x02\x11\x01\x03\x11\x01", 10);
  // RST0 has no length: libjpeg skips 00 06 as stray bytes and reads the
  // comment; a reader that takes them for a length lands on the fake frame.
  std::string prefix("\xFF\xD0\x00\x06\xFF\xFE", 6);
  prefix += {static_cast<char>((fake.size() + 2) >> 8), static_cast<char>((fake.size() + 2) & 0xFF)};
  return real.substr(0, 2) + prefix + fake + real.substr(2);
}

std::string jpeg_with_metadata(int segments, bool between_scans) {
  const std::string bytes = encode(flat(64, 64, {9, 9, 9}), between_scans ? ".jpg[interlace]" : ".jpg");
  // APP1 of the longest length, its body "Exif" and zeros.
  const std::string segment =
      std::string("\xFF\xE1\xFF\xFF" "Exif\0\0", 10) + std::string(65533 - 6, '\0');
  const std::size_t at = between_scans ? bytes.find("\xFF\xDA", bytes.find("\xFF\xDA") + 2) : 2;
  std::string file = bytes.substr(0, at);
  for (int i = 0; i < segments; ++i) {
    file += segment;
  }
  return file + bytes.substr(at);
}

std::string jpeg_written(const vips::VImage& image, jpeg_scans scans, bool arithmetic) {
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  errors.error_exit = [](j_common_ptr) { throw std::runtime_error("cannot write the JPEG"); };
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = static_cast<JDIMENSION>(image.width());
  info.image_height = static_cast<JDIMENSION>(image.height());
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  info.arith_code = arithmetic ? TRUE : FALSE;
  std::vector<jpeg_scan_info> script(3);
  if (scans == jpeg_scans::progressive) {
    jpeg_simple_progression(&info);
  } else if (scans == jpeg_scans::a_component_each) {
    for (int c = 0; c < 3; ++c) {
      script[static_cast<std::size_t>(c)] = {1, {c}, 0, 63, 0, 0};
    }
    info.scan_info = script.data();
    info.num_scans = 3;
  }
  jpeg_start_compress(&info, TRUE);
  const vips::VImage rgb = image.extract_band(0, vips::VImage::option()->set("n", 3));
  std::size_t length = 0;
  std::unique_ptr<void, decltype(&g_free)> pixels(rgb.write_to_memory(&length), g_free);
  const std::size_t row_bytes = static_cast<std::size_t>(image.width()) * 3;
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = static_cast<JSAMPLE*>(pixels.get()) + info.next_scanline * row_bytes;
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::string bytes(reinterpret_cast<const char*>(buffer), size);
  std::free(buffer);
  return bytes;
}

std::vector<std::size_t> jpeg_scan_ends(const std::string& jpeg) {
  std::vector<std::size_t> ends;
  for (std::size_t scan = jpeg.find("\xFF\xDA"); scan != std::string::npos;
       scan = jpeg.find("\xFF\xDA", ends.back())) {
    // Past the header, the first marker other than a stuffed byte or a restart.
    std::size_t at = scan + 2 +
                     (std::size_t{static_cast<unsigned char>(jpeg[scan + 2])} << 8 |
                      static_cast<unsigned char>(jpeg[scan + 3]));
    for (;; ++at) {
      at = jpeg.find('\xFF', at);
      const auto next = static_cast<unsigned char>(jpeg.at(at + 1));
      if (next != 0 && next != 0xFF && (next < 0xD0 || next > 0xD7)) {
        break;
      }
    }
    ends.push_back(at);
  }
  return ends;
}

}  // namespace test_support
