#pragma once

#include <vips/vips8>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace test_support {

// An RGB TIFF whose tags declare width x height in the given layout, its
// strips or tiles all pointing at a few zero bytes: what the decoders' memory
// is judged by, without the pixels.
struct tiff_claim {
  std::uint32_t width, height;
  bool planar = false;               // one plane after another
  std::uint32_t rows_per_strip = 0;  // 0: tiled
  std::uint32_t tile_side = 0;
  std::uint16_t bits = 8;
  std::uint16_t compression = 1;  // as the tag names it: 5 LZW, 8 deflate
};
std::string tiff_claiming(const tiff_claim& claim);

// A BMP of 16 x 16 whose info header claims width x height.
std::string bmp_claiming(std::uint32_t width, std::uint32_t height);

// A BMP of width x height, bottom up, with a 40-byte info header, bits a
// pixel in compression (0, or 1 for RLE8), the colours of its palette and its
// pixel data as they stand: large images made cheaply.
std::string bmp_of(std::uint32_t width, std::uint32_t height, std::uint16_t bits,
                   std::uint32_t compression,
                   const std::vector<std::array<unsigned char, 3>>& colours,
                   const std::string& data);

// One of the BMP format's layouts.
struct bmp_layout {
  std::uint32_t header_size;           // 12 (core), 40, 108 (V4) or 124 (V5)
  std::uint16_t bits;
  std::uint32_t compression;           // 0 none, 1 RLE8, 2 RLE4, 3 bit fields
  std::array<std::uint32_t, 4> masks;  // red, green, blue, alpha, for bit fields
  bool top_down = false;
  bool alpha_zero = false;  // 32 bits: the fourth byte 0 in every pixel, so no alpha
};

// A BMP of width x height in layout, of noise (RLE: runs of 1 to 4 pixels,
// a row ended early, a jump and an early end), and the 8-bit pixels its bytes
// stand for, top row first, 4 bands where it has alpha.
struct crafted_bmp {
  std::string bytes;
  std::vector<unsigned char> pixels;
  int bands;
};
crafted_bmp bmp_in_layout(const bmp_layout& layout, std::uint32_t width, std::uint32_t height);

// A GIF of one image whose screen and image claim width x height, its data
// a single pixel, after a comment of comment_bytes (none at 0).
std::string gif_claiming(std::uint16_t width, std::uint16_t height, std::size_t comment_bytes = 0);

// The same on a screen of its own: width and height; the image's left, top,
// width and height.
std::string gif_on_screen(const std::array<std::uint16_t, 2>& screen,
                          const std::array<std::uint16_t, 4>& image, std::size_t comment_bytes = 0);

// A progressive JPEG of 16 x 16 whose frame header claims width x height
// and these sampling factors (0xHV) for its three components.
std::string progressive_jpeg_claiming(std::uint16_t width, std::uint16_t height, unsigned char y,
                                      unsigned char cb, unsigned char cr);

// A baseline JPEG of 16 x 16 claiming width x height whose first scan holds
// its first component alone, as files with a scan a component do.
std::string baseline_jpeg_a_scan_a_component(std::uint16_t width, std::uint16_t height);

// A progressive JPEG claiming width x height (Y sampled 2 x 2) whose start is
// followed by RST0, two stray bytes and a comment holding a baseline frame
// header of the same sides.
std::string progressive_jpeg_behind_a_restart_marker(std::uint16_t width, std::uint16_t height);

// A 64 x 64 JPEG holding segments APP1 segments of 64 KB after its start,
// or, progressive, before its second scan.
std::string jpeg_with_metadata(int segments, bool between_scans = false);

// The 8-bit sRGB image as a 4:2:0 JPEG written by libjpeg (a CMYK one as
// YCCK): sequential in one scan or a scan a component, or progressive as
// libjpeg's default; Huffman- or arithmetic-coded.
enum class jpeg_scans { one, a_component_each, progressive };
std::string jpeg_written(const vips::VImage& image, jpeg_scans scans, bool arithmetic = false);

// Where each scan's coded data of the JPEG ends: at the marker after it.
std::vector<std::size_t> jpeg_scan_ends(const std::string& jpeg);

}  // namespace test_support
