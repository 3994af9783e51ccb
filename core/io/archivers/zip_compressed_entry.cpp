#include "core/io/archivers/zip_compressed_entry.hpp"

#include <algorithm>

#include "core/io/archivers/detail/running_crc32.hpp"
#include "core/io/archivers/detail/zip_deflate_rule.hpp"
#include "core/io/archivers/zip_compress.hpp"

namespace core::io::archivers {

namespace {

constexpr std::size_t piece_size = std::size_t{1} << 20;
constexpr std::streamsize deflate_buffer_size = 64 * 1024;

// Takes deflated bytes up to the entry's own size, as the writer's limit does.
struct bounded_string_sink {
  using char_type = char;
  using category = boost::iostreams::sink_tag;

  std::string* out;
  std::size_t limit;

  std::streamsize write(const char* data, std::streamsize count) {
    if (out->size() + static_cast<std::size_t>(count) > limit) {
      throw give_up_compression();
    }
    out->append(data, static_cast<std::size_t>(count));
    return count;
  }
};

// Calls step on each piece of data in turn; false when stop was seen first.
template <class Step>
bool for_each_piece(const std::string& data, const std::atomic<bool>& stop, Step step) {
  for (std::size_t offset = 0; offset < data.size(); offset += piece_size) {
    if (stop) {
      return false;
    }
    step(data.data() + offset, std::min(piece_size, data.size() - offset));
  }
  return !stop;
}

}  // namespace

std::optional<compressed_entry> compress_entry(std::string data, const std::atomic<bool>& stop) {
  compressed_entry entry;
  entry.size = data.size();
  detail::running_crc32 crc;
  if (!for_each_piece(data, stop,
                      [&](const char* piece, std::size_t count) { crc.update(piece, count); })) {
    return std::nullopt;
  }
  entry.crc32 = crc.value();

  if (entry.size >= detail::stored_below) {
    std::string deflated;
    deflated.reserve(data.size());
    bounded_string_sink sink{&deflated, data.size()};
    boost::iostreams::zlib_compressor deflate(detail::raw_deflate(), deflate_buffer_size);
    try {
      if (!for_each_piece(data, stop, [&](const char* piece, std::size_t count) {
            deflate.write(sink, piece, static_cast<std::streamsize>(count));
          })) {
        return std::nullopt;
      }
      deflate.close(sink, std::ios_base::out);
      // Text can shrink to a fraction: keep only what it takes.
      if (deflated.size() < deflated.capacity() / 2) {
        deflated.shrink_to_fit();
      }
      entry.data = std::move(deflated);
      entry.method = 8;
      return entry;
    } catch (const give_up_compression&) {
    }
  }
  entry.data = std::move(data);
  entry.method = 0;
  return entry;
}

}  // namespace core::io::archivers
