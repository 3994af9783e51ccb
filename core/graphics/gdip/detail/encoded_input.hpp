#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>

#include "core/scoped_handle.hpp"

namespace core::graphics::gdip::detail {

// An encoded image's bytes, held in memory or read from its open file at any
// offset: decoders look at parts far apart (headers, palettes, pixels).
class encoded_input {
 public:
  // The bytes must outlive the input.
  explicit encoded_input(std::string_view bytes) : bytes_(bytes) {}
  explicit encoded_input(scoped_handle file) : file_(std::move(file)) {}

  // Up to size bytes at offset, fewer only where the input ends; buffer may
  // be null when size is 0. Throws status_failure with errno when the file
  // cannot be read. Any thread may read at once.
  std::size_t read_at(std::uint64_t offset, unsigned char* buffer, std::size_t size) const;

  // The bytes the input holds. Throws status_failure with errno.
  std::uint64_t size() const;

 private:
  std::string_view bytes_;
  scoped_handle file_;
};

}  // namespace core::graphics::gdip::detail
