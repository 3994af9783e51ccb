#include "core/io/memorystream_device.hpp"

#include <algorithm>
#include <cstring>
#include <limits>

#include "core/io/stream_failure.hpp"

namespace core::io {

namespace {

constexpr std::size_t minimum_capacity = 256;
constexpr std::size_t large_growth = 1024 * 1024;

}  // namespace

memorystream_device_impl::memorystream_device_impl(std::size_t initial_capacity) {
  reserve(initial_capacity);
}

std::streamsize memorystream_device_impl::read(char* buffer, std::streamsize count) {
  const auto available = size_ - static_cast<std::size_t>(position_);
  if (available == 0) {
    return -1;
  }
  const auto n = std::min(available, static_cast<std::size_t>(std::max<std::streamsize>(count, 0)));
  std::memcpy(buffer, data_.get() + position_, n);
  position_ += static_cast<boost::iostreams::stream_offset>(n);
  return static_cast<std::streamsize>(n);
}

std::streamsize memorystream_device_impl::write(const char* buffer, std::streamsize count) {
  if (count <= 0) {
    return 0;
  }
  std::size_t end = 0;
  if (__builtin_add_overflow(static_cast<std::size_t>(position_), static_cast<std::size_t>(count),
                             &end) ||
      end > static_cast<std::size_t>(std::numeric_limits<boost::iostreams::stream_offset>::max())) {
    throw stream_failure("bad write");
  }
  // Never below the valid bytes: a write after seeking back must not trim the block.
  reserve(std::max(size_, end));
  std::memcpy(data_.get() + position_, buffer, static_cast<std::size_t>(count));
  position_ = static_cast<boost::iostreams::stream_offset>(end);
  size_ = std::max(size_, end);
  return count;
}

boost::iostreams::stream_offset memorystream_device_impl::seek(
    boost::iostreams::stream_offset offset, std::ios_base::seekdir direction) {
  boost::iostreams::stream_offset base = 0;
  if (direction == std::ios_base::beg) {
    base = 0;
  } else if (direction == std::ios_base::cur) {
    base = position_;
  } else if (direction == std::ios_base::end) {
    base = static_cast<boost::iostreams::stream_offset>(size_);
  } else {
    throw stream_failure("bad seek direction");
  }
  boost::iostreams::stream_offset target = 0;
  if (__builtin_add_overflow(base, offset, &target) || target < 0 ||
      static_cast<std::size_t>(target) > size_) {
    throw stream_failure("bad seek offset");
  }
  position_ = target;
  return position_;
}

void memorystream_device_impl::set_size(std::size_t size) {
  if (size < size_) {
    size_ = size;
    position_ = std::min(position_, static_cast<boost::iostreams::stream_offset>(size));
  } else if (size > size_) {
    reserve(size);
    std::memset(data_.get() + size_, 0, size - size_);
    size_ = size;
  }
}

void memorystream_device_impl::reserve(std::size_t capacity) {
  capacity = std::max(capacity, size_);
  if (capacity > capacity_) {
    const auto doubled = capacity_ > std::numeric_limits<std::size_t>::max() / 2
                             ? std::numeric_limits<std::size_t>::max()
                             : 2 * capacity_;
    const auto quarter_more = capacity_ + capacity_ / 4 + large_growth;
    reallocate(std::max({capacity, minimum_capacity, std::min(doubled, quarter_more)}));
  } else if (capacity <= capacity_ / 4 && capacity != capacity_) {
    reallocate(capacity);
  }
}

void memorystream_device_impl::reallocate(std::size_t capacity) {
  auto block = capacity == 0 ? nullptr : std::make_unique_for_overwrite<char[]>(capacity);
  if (size_ != 0) {
    std::memcpy(block.get(), data_.get(), size_);
  }
  data_ = std::move(block);
  capacity_ = capacity;
}

}  // namespace core::io
