#include "tests/core/graphics/crafted_images.hpp"

// libjpeg's header needs FILE and size_t declared first.
#include <cstdio>
#include <jpeglib.h>

#include <algorithm>
#include <bit>
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

// Cheap noise, the same at every call.
std::uint32_t noise(std::uint64_t x, std::uint64_t y) {
  std::uint64_t v = (x + 1) * 0x9E3779B97F4A7C15ULL ^ (y + 7) * 0xD6E8FEB86659FD93ULL;
  v ^= v >> 29;
  v *= 0xBF58476D1CE4E5B9ULL;
  return static_cast<std::uint32_t>(v ^ v >> 32);
}

// The 8-bit level of the value under mask: its bits again and again from
// the top, or its top 8.
unsigned char level(std::uint32_t raw, std::uint32_t mask) {
  if (mask == 0) {
    return 0;
  }
  const int shift = std::countr_zero(mask), bits = std::popcount(mask);
  const std::uint32_t value = (raw & mask) >> shift;
  std::uint32_t out = 0;
  for (int at = 8 - bits; at > -bits; at -= bits) {
    out |= at >= 0 ? value << at : value >> -at;
  }
  return static_cast<unsigned char>(out);
}

// The RLE codes of row[from, to): runs of one index, or the indices of a
// stretch of three or more single pixels.
void put_rle(std::string& out, const std::vector<unsigned>& row, std::size_t from, std::size_t to,
             bool rle4) {
  const auto code = [&](std::size_t count, unsigned value) {
    out += static_cast<char>(count);
    out += static_cast<char>(rle4 ? value << 4 | value : value);
  };
  for (std::size_t x = from; x < to;) {
    std::size_t run = 1;
    while (x + run < to && run < 255 && row[x + run] == row[x]) {
      ++run;
    }
    if (run >= 2) {
      code(run, row[x]);
      x += run;
      continue;
    }
    std::size_t end = x + 1;
    while (end < to && end - x < 255 && !(end + 1 < to && row[end] == row[end + 1])) {
      ++end;
    }
    const std::size_t count = end - x;
    if (count < 3) {
      for (; x < end; ++x) {
        code(1, row[x]);
      }
      continue;
    }
    out += '\0';
    out += static_cast<char>(count);
    const std::size_t bytes = rle4 ? (count + 1) / 2 : count;
    for (std::size_t i = 0; i < bytes; ++i) {
      out += static_cast<char>(
          rle4 ? row[x + 2 * i] << 4 | (2 * i + 1 < count ? row[x + 2 * i + 1] : 0) : row[x + i]);
    }
    if (bytes % 2 != 0) {
      out += '\0';
    }
    x = end;
  }
}

}  // namespace

crafted_bmp bmp_in_layout(const bmp_layout& layout, std::uint32_t width, std::uint32_t height) {
  const std::uint32_t bits = layout.bits;
  const bool rle = layout.compression == 1 || layout.compression == 2;
  const std::uint32_t entries = bits > 8 ? 0 : bits == 8 ? 200 : 1U << bits;
  std::array<std::uint32_t, 4> masks = layout.masks;
  if (layout.compression == 0 && bits == 16) {
    masks = {0x7C00, 0x03E0, 0x001F, 0};
  } else if (layout.compression == 0 && bits == 32) {
    masks = {0xFF0000, 0xFF00, 0xFF, 0xFF000000};
  } else if (bits == 24) {
    masks = {0xFF0000, 0xFF00, 0xFF, 0};
  }
  crafted_bmp bmp;
  bmp.bands = masks[3] != 0 && !layout.alpha_zero ? 4 : 3;
  // Each band's levels by the value under its mask.
  std::array<std::vector<unsigned char>, 4> levels;
  for (int band = 0; band < 4; ++band) {
    const std::uint32_t mask = masks[band], shift = mask == 0 ? 0 : std::countr_zero(mask);
    for (std::uint64_t value = 0; value <= (mask >> shift); ++value) {
      levels[band].push_back(level(static_cast<std::uint32_t>(value << shift), mask));
    }
  }
  bmp.pixels.assign(std::size_t{width} * height * bmp.bands, 0);
  std::vector<std::array<unsigned char, 3>> colours(entries);
  for (std::uint32_t i = 0; i < entries; ++i) {
    const std::uint32_t colour = noise(i, 1 << 20);
    colours[i] = {static_cast<unsigned char>(colour), static_cast<unsigned char>(colour >> 8),
                  static_cast<unsigned char>(colour >> 16)};
  }

  std::string data;
  data.reserve(std::size_t{width} * height * 4);
  const std::size_t stride = (std::size_t{width} * bits + 31) / 32 * 4;
  std::vector<unsigned> indices(width);
  for (std::uint32_t stored = 0; stored < height; ++stored) {
    const std::uint32_t y = layout.top_down ? stored : height - 1 - stored;
    unsigned char* expected = bmp.pixels.data() + std::size_t{y} * width * bmp.bands;
    if (rle) {
      for (std::uint32_t x = 0; x < width; ++x) {
        indices[x] = noise(x / (1 + y % 4), y) % entries;
      }
      // The second row ends at its middle, the third starts with a jump of
      // two pixels, the last ends the image at a third: the rest stays black.
      const std::size_t from = stored == 2 ? 2 : 0;
      const std::size_t to = stored == 1 ? width / 2 : stored + 1 == height ? width / 3 : width;
      if (from > 0) {
        data += std::string("\0\2\2\0", 4);
      }
      put_rle(data, indices, from, to, layout.compression == 2);
      data += std::string(stored + 1 == height ? "\0\1" : "\0\0", 2);
      for (std::size_t x = from; x < to; ++x) {
        std::copy(colours[indices[x]].begin(), colours[indices[x]].end(), expected + 3 * x);
      }
      continue;
    }
    std::string row(stride, '\0');
    for (std::uint32_t x = 0; x < width; ++x) {
      unsigned char* pixel = expected + std::size_t{x} * bmp.bands;
      std::uint32_t raw = noise(x, y);
      if (bits <= 8) {
        const unsigned index = raw % entries, per_byte = 8 / bits;
        row[x / per_byte] = static_cast<char>(static_cast<unsigned char>(row[x / per_byte]) |
                                              index << (8 - bits * (x % per_byte + 1)));
        std::copy(colours[index].begin(), colours[index].end(), pixel);
        continue;
      }
      if (bits == 32 && layout.alpha_zero) {
        raw &= 0x00FFFFFF;
      }
      for (std::uint32_t i = 0; i < bits / 8; ++i) {
        row[x * (bits / 8) + i] = static_cast<char>(raw >> (8 * i));
      }
      for (int band = 0; band < bmp.bands; ++band) {
        const std::uint32_t mask = masks[band];
        pixel[band] = mask == 0 ? 0 : levels[band][(raw & mask) >> std::countr_zero(mask)];
      }
    }
    data += row;
  }

  const std::uint32_t entry_size = layout.header_size == 12 ? 3 : 4;
  const std::uint32_t masks_after = layout.header_size == 40 && layout.compression == 3 ? 12 : 0;
  const std::uint32_t pixels_at = 14 + layout.header_size + masks_after + entries * entry_size;
  std::string& out = bmp.bytes;
  out = "BM";
  put(out, pixels_at + static_cast<std::uint32_t>(data.size()), 4);
  put(out, 0, 4);
  put(out, pixels_at, 4);
  put(out, layout.header_size, 4);
  if (layout.header_size == 12) {
    put(out, width, 2);
    put(out, height, 2);
    put(out, 1, 2);
    put(out, bits, 2);
  } else {
    put(out, width, 4);
    put(out, layout.top_down ? 0U - height : height, 4);
    put(out, 1, 2);
    put(out, bits, 2);
    put(out, layout.compression, 4);
    put(out, static_cast<std::uint32_t>(data.size()), 4);
    put(out, 2835, 4);
    put(out, 2835, 4);
    put(out, bits == 8 ? entries : 0, 4);
    put(out, 0, 4);
    for (std::uint32_t i = 0; i < (layout.header_size > 40 ? 4U : masks_after / 4); ++i) {
      put(out, layout.masks[i], 4);
    }
    out.resize(14 + layout.header_size + masks_after, '\0');
  }
  for (const auto& colour : colours) {
    out += static_cast<char>(colour[2]);
    out += static_cast<char>(colour[1]);
    out += static_cast<char>(colour[0]);
    if (entry_size == 4) {
      out += '\0';
    }
  }
  out += data;
  return bmp;
}

std::string bmp_of(std::uint32_t width, std::uint32_t height, std::uint16_t bits,
                   std::uint32_t compression,
                   const std::vector<std::array<unsigned char, 3>>& colours,
                   const std::string& data) {
  const auto pixels_at = static_cast<std::uint32_t>(14 + 40 + 4 * colours.size());
  std::string out = "BM";
  put(out, pixels_at + static_cast<std::uint32_t>(data.size()), 4);
  put(out, 0, 4);
  put(out, pixels_at, 4);
  for (const std::uint32_t field : {40U, width, height}) {
    put(out, field, 4);
  }
  put(out, 1, 2);
  put(out, bits, 2);
  for (const std::uint32_t field : {compression, static_cast<std::uint32_t>(data.size()), 2835U,
                                    2835U, static_cast<std::uint32_t>(colours.size()), 0U}) {
    put(out, field, 4);
  }
  for (const auto& colour : colours) {
    out += {static_cast<char>(colour[2]), static_cast<char>(colour[1]),
            static_cast<char>(colour[0]), '\0'};
  }
  return out + data;
}

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

std::string gif_claiming(std::uint16_t width, std::uint16_t height, std::size_t comment_bytes) {
  return gif_on_screen({width, height}, {0, 0, width, height}, comment_bytes);
}

std::string gif_on_screen(const std::array<std::uint16_t, 2>& screen,
                          const std::array<std::uint16_t, 4>& image, std::size_t comment_bytes) {
  std::string file("GIF89a", 6);
  put(file, screen[0], 2);
  put(file, screen[1], 2);
  // Two colours, black and white; background 0, no aspect ratio.
  file += std::string("\x80\x00\x00\x00\x00\x00\xFF\xFF\xFF", 9);
  if (comment_bytes > 0) {
    file += "\x21\xFE";
    for (std::size_t left = comment_bytes; left > 0;) {
      const std::size_t block = std::min<std::size_t>(left, 255);
      file += static_cast<char>(block);
      file += std::string(block, 'c');
      left -= block;
    }
    file += '\0';
  }
  file += "\x2C";
  for (const std::uint16_t value : image) {
    put(file, value, 2);
  }
  // No local colours; code size 2, a sub-block of clear, a pixel and the end
  // (4, 1, 5 in 3 bits), the terminator, the trailer.
  file += std::string("\x00\x02\x02\x4C\x01\x00\x3B", 7);
  return file;
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
  const bool cmyk = image.bands() == 4;
  info.input_components = cmyk ? 4 : 3;
  info.in_color_space = cmyk ? JCS_CMYK : JCS_RGB;
  jpeg_set_defaults(&info);
  if (cmyk) {
    jpeg_set_colorspace(&info, JCS_YCCK);
  }
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
  std::size_t length = 0;
  std::unique_ptr<void, decltype(&g_free)> pixels(image.write_to_memory(&length), g_free);
  const std::size_t row_bytes = length / static_cast<std::size_t>(image.height());
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
