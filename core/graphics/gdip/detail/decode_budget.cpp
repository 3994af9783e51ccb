#include "core/graphics/gdip/detail/decode_budget.hpp"

#include <string>

#include "core/graphics/gdip/detail/status_failure.hpp"

namespace core::graphics::gdip::detail {

namespace {

constexpr std::uint64_t mib = std::uint64_t{1} << 20;

std::string dimensions(std::uint64_t width, std::uint64_t height) {
  return std::to_string(width) + " x " + std::to_string(height) + " pixels";
}

void check_sides(std::uint64_t width, std::uint64_t height) {
  if (width > UINT32_MAX || height > UINT32_MAX) {
    throw status_failure(status::out_of_memory, "the image declares " + dimensions(width, height));
  }
}

std::string mebibytes(std::uint64_t bytes) {
  return std::to_string((bytes + mib - 1) / mib) + " MiB";
}

void check_decoded_bytes(std::uint64_t width, std::uint64_t height, std::uint64_t bytes,
                         std::uint64_t budget = decode_budget) {
  if (bytes > budget) {
    throw status_failure(status::out_of_memory, "its " + dimensions(width, height) + " take " +
                                                    mebibytes(bytes) + " decoded whole, over " +
                                                    mebibytes(budget));
  }
}

}  // namespace

void check_decode_budget(std::uint64_t width, std::uint64_t height, std::uint64_t bytes_per_pixel,
                         std::uint64_t budget) {
  check_sides(width, height);
  // Each side fits 32 bits and a pixel takes at most 8 bytes: no overflow.
  check_decoded_bytes(width, height, width * height * bytes_per_pixel, budget);
}

void check_decoder_memory(std::uint64_t width, std::uint64_t height, const decoder_memory& memory,
                          std::uint64_t file_size) {
  check_sides(width, height);
  if (memory.metadata > decode_budget) {
    throw status_failure(status::out_of_memory, "its metadata take " + mebibytes(memory.metadata) +
                                                    " in memory, over " + mebibytes(decode_budget));
  }
  if (memory.whole && memory.encoded > 0 && memory.bytes > decode_budget) {
    throw status_failure(status::out_of_memory,
                         "its " + dimensions(width, height) + " decoded whole and the " +
                             mebibytes(memory.encoded) + " of its file read for them take " +
                             mebibytes(memory.bytes) + ", over " + mebibytes(decode_budget));
  }
  if (memory.whole) {
    check_decoded_bytes(width, height, memory.bytes);
    return;
  }
  if (memory.bytes > decode_budget) {
    throw status_failure(status::out_of_memory,
                         "its " + dimensions(width, height) + " are too wide to read in strips");
  }
  constexpr std::uint64_t smallest_pixel = 3;
  if (width * height * smallest_pixel > decode_budget &&
      width * height / most_pixels_per_file_byte > file_size) {
    throw status_failure(status::out_of_memory, "its " + std::to_string(file_size) +
                                                    " bytes cannot hold the " +
                                                    dimensions(width, height) + " it declares");
  }
}

}  // namespace core::graphics::gdip::detail
