#include "core/io/archivers/zip_compressed_entry.hpp"

#include <libdeflate.h>

#include <memory>
#include <new>

#include "core/io/archivers/detail/running_crc32.hpp"
#include "core/io/archivers/detail/zip_deflate_rule.hpp"

namespace core::io::archivers {

namespace {

// libdeflate 1.14 refuses an output buffer that would leave it fewer than 8
// spare bytes for its word-wide writes, plus a partial byte: given exactly the
// entry's size it would store entries that deflate to a few bytes less, or
// to the same size, which the writer deflates. Measured need: 9 bytes.
constexpr std::size_t deflate_slack = 16;

struct compressor_deleter {
  void operator()(libdeflate_compressor* compressor) const {
    libdeflate_free_compressor(compressor);
  }
};

// The raw deflate of data when it takes no more bytes than data; else empty.
std::optional<std::string> deflate_within_size(const std::string& data) {
  const std::unique_ptr<libdeflate_compressor, compressor_deleter> compressor(
      libdeflate_alloc_compressor(detail::deflate_level));
  if (!compressor) {
    throw std::bad_alloc();
  }
  std::string deflated(data.size() + deflate_slack, '\0');
  const std::size_t size = libdeflate_deflate_compress(compressor.get(), data.data(), data.size(),
                                                       deflated.data(), deflated.size());
  if (size == 0 || size > data.size()) {
    return std::nullopt;
  }
  deflated.resize(size);
  // Text can shrink to a fraction: keep only what it takes.
  if (deflated.size() < deflated.capacity() / 2) {
    deflated.shrink_to_fit();
  }
  return deflated;
}

}  // namespace

std::optional<compressed_entry> compress_entry(std::string data, const std::atomic<bool>& stop) {
  if (stop) {
    return std::nullopt;
  }
  compressed_entry entry;
  entry.size = data.size();
  detail::running_crc32 crc;
  crc.update(data.data(), data.size());
  entry.crc32 = crc.value();

  std::optional<std::string> deflated;
  if (entry.size >= detail::stored_below) {
    deflated = deflate_within_size(data);
  }
  entry.method = deflated ? 8 : 0;
  entry.data = deflated ? std::move(*deflated) : std::move(data);
  if (stop) {
    return std::nullopt;
  }
  return entry;
}

}  // namespace core::io::archivers
