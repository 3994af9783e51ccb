#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace core::io::archivers::detail {

// Builds a record field by field, little-endian.
class record_writer {
 public:
  record_writer& u16(std::uint16_t value) { return put(value, 2); }
  record_writer& u32(std::uint32_t value) { return put(value, 4); }
  record_writer& u64(std::uint64_t value) { return put(value, 8); }
  record_writer& bytes(std::string_view data) {
    data_.append(data);
    return *this;
  }
  const std::string& data() const { return data_; }

 private:
  record_writer& put(std::uint64_t value, int width) {
    for (int i = 0; i < width; ++i) {
      data_.push_back(static_cast<char>(value >> (8 * i)));
    }
    return *this;
  }

  std::string data_;
};

// Takes little-endian fields off the front of a record in memory. Callers
// check remaining() where a short record has its own error; reading past the
// end anyway throws core::io::stream_failure "bad read", never reads beyond.
class record_reader {
 public:
  explicit record_reader(std::string_view data) : data_(data) {}
  // It would outlive the text it reads.
  explicit record_reader(std::string&&) = delete;

  std::uint8_t u8() { return static_cast<std::uint8_t>(take(1)); }
  std::uint16_t u16() { return static_cast<std::uint16_t>(take(2)); }
  std::uint32_t u32() { return static_cast<std::uint32_t>(take(4)); }
  std::uint64_t u64() { return take(8); }
  std::string_view bytes(std::size_t count);
  std::size_t remaining() const { return data_.size(); }

 private:
  std::uint64_t take(std::size_t width);

  std::string_view data_;
};

}  // namespace core::io::archivers::detail
