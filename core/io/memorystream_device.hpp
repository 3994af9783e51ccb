#pragma once

#include <cstddef>
#include <ios>
#include <memory>

#include <boost/iostreams/categories.hpp>
#include <boost/iostreams/positioning.hpp>
#include <boost/iostreams/stream.hpp>

namespace core::io {

// The growable byte buffer behind a memory device. Invariant:
// position <= size <= capacity. Failures throw core::io::stream_failure.
class memorystream_device_impl {
 public:
  memorystream_device_impl() = default;
  explicit memorystream_device_impl(std::size_t initial_capacity);
  memorystream_device_impl(const memorystream_device_impl&) = delete;
  memorystream_device_impl& operator=(const memorystream_device_impl&) = delete;

  // Up to count bytes from the position; -1 when none are left.
  std::streamsize read(char* buffer, std::streamsize count);
  // Overwrites or appends at the position and moves it past the bytes.
  std::streamsize write(const char* buffer, std::streamsize count);
  // "bad seek direction", or "bad seek offset" for a target outside 0..size.
  boost::iostreams::stream_offset seek(boost::iostreams::stream_offset offset,
                                       std::ios_base::seekdir direction);
  // Shrinking pulls a position beyond the new end back to it; growing adds zeros.
  void set_size(std::size_t size);
  // Grows by doubling while small and by a quarter plus 1 MiB once large;
  // a request of a quarter of the capacity or less trims the block to fit,
  // but never below the valid bytes.
  void reserve(std::size_t capacity);

  const char* data() const { return data_.get(); }
  std::size_t size() const { return size_; }
  std::size_t capacity() const { return capacity_; }
  boost::iostreams::stream_offset position() const { return position_; }

 private:
  void reallocate(std::size_t capacity);

  std::unique_ptr<char[]> data_;
  boost::iostreams::stream_offset position_ = 0;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
};

// A seekable Boost.Iostreams device over a memory buffer. Copies share the
// buffer, so a stream can fill it while its owner keeps a copy to read
// data() afterwards. One thread at a time.
class memorystream_device {
 public:
  using char_type = char;
  using category = boost::iostreams::seekable_device_tag;

  memorystream_device() : impl_(std::make_shared<memorystream_device_impl>()) {}
  explicit memorystream_device(std::size_t initial_capacity)
      : impl_(std::make_shared<memorystream_device_impl>(initial_capacity)) {}

  std::streamsize read(char* buffer, std::streamsize count) { return impl_->read(buffer, count); }
  std::streamsize write(const char* buffer, std::streamsize count) {
    return impl_->write(buffer, count);
  }
  boost::iostreams::stream_offset seek(boost::iostreams::stream_offset offset,
                                       std::ios_base::seekdir direction) {
    return impl_->seek(offset, direction);
  }

  memorystream_device_impl& buffer() const { return *impl_; }
  const char* data() const { return impl_->data(); }
  std::size_t size() const { return impl_->size(); }

 private:
  std::shared_ptr<memorystream_device_impl> impl_;
};

// A standard stream over a memory device; `stream->data()` reaches the bytes
// once the stream is flushed.
using memorystream = boost::iostreams::stream<memorystream_device>;

}  // namespace core::io
