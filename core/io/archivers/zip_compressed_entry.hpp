#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

namespace core::io::archivers {

// One entry's data compressed in memory, deciding its method by the writer's
// rule, so that another thread can prepare what the writer then copies as it
// stands (append_compressed).
struct compressed_entry {
  // The bytes that follow the entry's local header.
  std::string data;
  // 0 stored, 8 deflate.
  std::uint16_t method = 0;
  std::uint32_t crc32 = 0;
  // Bytes before compression.
  std::uint64_t size = 0;
};

// Deflates data with libdeflate in one pass, or keeps it stored where the
// writer would (entries under 6 bytes, and those that deflate to more bytes
// than they have). Empty when stop is seen set, before or after the pass
// (a 64 MiB entry takes under a second). Data under 4 GiB; any thread.
std::optional<compressed_entry> compress_entry(std::string data, const std::atomic<bool>& stop);

}  // namespace core::io::archivers
