#pragma once

#include <cstdint>
#include <string>

#include "core/io/archivers/zip_entry.hpp"

// The on-disk records of a zip archive as this library writes them, and the
// constants its reader needs. All fields are little-endian; an archive is one
// part. A size, offset or count too large for its field is written as all ones
// and given in ZIP64 form instead.
namespace core::io::archivers {

namespace signature {
inline constexpr std::uint32_t local_header = 0x04034B50;
inline constexpr std::uint32_t data_descriptor = 0x08074B50;
inline constexpr std::uint32_t central_header = 0x02014B50;
inline constexpr std::uint32_t zip64_end_record = 0x06064B50;
inline constexpr std::uint32_t zip64_end_locator = 0x07064B50;
inline constexpr std::uint32_t end_record = 0x06054B50;
}  // namespace signature

namespace extra_id {
inline constexpr std::uint16_t zip64 = 0x0001;
inline constexpr std::uint16_t extended_timestamp = 0x5455;
inline constexpr std::uint16_t unix_id = 0x7855;
}  // namespace extra_id

namespace general_flag {
inline constexpr std::uint16_t encrypted = 0x0001;
inline constexpr std::uint16_t data_descriptor = 0x0008;
inline constexpr std::uint16_t utf8_name = 0x0800;
}  // namespace general_flag

// Sizes and offsets of this value or more need ZIP64 fields; so do entry
// counts of zip64_count or more.
inline constexpr std::uint64_t zip64_limit = 0xFFFFFFFF;
inline constexpr std::uint64_t zip64_count = 0xFFFF;

inline constexpr std::size_t local_header_size = 30;
inline constexpr std::size_t central_header_size = 46;
inline constexpr std::size_t end_record_size = 22;
inline constexpr std::size_t zip64_end_locator_size = 20;
inline constexpr std::size_t zip64_end_record_size = 56;
inline constexpr std::size_t encryption_header_size = 12;

// Whether the local header carries its sizes in a ZIP64 field.
bool needs_zip64_sizes(const zip_entry& entry);

// The name as stored: a directory gets its trailing "/".
std::string name_on_disk(const zip_entry& entry);

// Encrypted entries are followed by a data descriptor.
std::uint16_t general_flags(const zip_entry& entry);

// Whole records: fixed fields, name, extra fields (ZIP64, extended timestamp,
// Unix id) and, for the central header, the comment. A name, comment or
// extra data beyond 65,535 bytes throws std::runtime_error "unsupported ZIP format".
std::string local_header(const zip_entry& entry);
std::string central_header(const zip_entry& entry);
// 32-bit sizes; not written for entries that need ZIP64 sizes.
std::string data_descriptor(const zip_entry& entry);

std::string zip64_end_record(std::uint64_t entries, std::uint64_t directory_size,
                             std::uint64_t directory_offset);
std::string zip64_end_locator(std::uint64_t zip64_end_record_offset);
std::string end_record(std::uint64_t entries, std::uint64_t directory_size,
                       std::uint64_t directory_offset);

}  // namespace core::io::archivers
