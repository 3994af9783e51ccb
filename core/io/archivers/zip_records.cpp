#include "core/io/archivers/zip_records.hpp"

#include <algorithm>
#include <stdexcept>

#include "core/io/archivers/detail/little_endian.hpp"
#include "core/io/archivers/dos_time.hpp"

namespace core::io::archivers {

namespace {

using detail::record_writer;

// Made under NTFS, version 2.0: Info-ZIP's unzip recodes every name of an
// archive made under MS-DOS (host 0) through a DOS code page, UTF-8 flag or
// not; NTFS keeps the same DOS attributes and leaves UTF-8 names alone.
constexpr std::uint16_t version_made_by = 11 << 8 | 20;
constexpr std::uint16_t zip64_version = 45;

std::uint16_t length16(std::size_t length) {
  if (length > 0xFFFF) {
    throw std::runtime_error("unsupported ZIP format");
  }
  return static_cast<std::uint16_t>(length);
}

std::uint32_t clamp32(std::uint64_t value) {
  return static_cast<std::uint32_t>(std::min(value, zip64_limit));
}

record_writer& extra_header(record_writer& out, std::uint16_t id, std::size_t size) {
  return out.u16(id).u16(static_cast<std::uint16_t>(size));
}

std::uint8_t timestamp_flags(const zip_entry& entry) {
  return static_cast<std::uint8_t>((entry.mtime ? 1 : 0) | (entry.atime ? 2 : 0) |
                                   (entry.ctime ? 4 : 0));
}

void put_time(record_writer& out, std::time_t time) {
  out.u32(static_cast<std::uint32_t>(time));
}

void put_flags_byte(record_writer& out, std::uint8_t flags) {
  out.bytes(std::string_view(reinterpret_cast<const char*>(&flags), 1));
}

bool has_unix_id(const zip_entry& entry) {
  return entry.uid && entry.gid;
}

std::string local_extra(const zip_entry& entry) {
  record_writer out;
  if (needs_zip64_sizes(entry)) {
    extra_header(out, extra_id::zip64, 16).u64(entry.size).u64(entry.compressed_size);
  }
  if (const auto flags = timestamp_flags(entry)) {
    const int times = (flags & 1) + (flags >> 1 & 1) + (flags >> 2 & 1);
    extra_header(out, extra_id::extended_timestamp, 1 + 4 * times);
    put_flags_byte(out, flags);
    for (const auto& time : {entry.mtime, entry.atime, entry.ctime}) {
      if (time) {
        put_time(out, *time);
      }
    }
  }
  if (has_unix_id(entry)) {
    extra_header(out, extra_id::unix_id, 4).u16(*entry.uid).u16(*entry.gid);
  }
  return out.data();
}

std::string central_extra(const zip_entry& entry) {
  record_writer out;
  const std::uint64_t values[] = {entry.size, entry.compressed_size, entry.local_header_offset};
  const auto large = std::count_if(std::begin(values), std::end(values),
                                   [](std::uint64_t v) { return v >= zip64_limit; });
  if (large != 0) {
    extra_header(out, extra_id::zip64, 8 * static_cast<std::size_t>(large));
    for (const auto value : values) {
      if (value >= zip64_limit) {
        out.u64(value);
      }
    }
  }
  if (const auto flags = timestamp_flags(entry)) {
    extra_header(out, extra_id::extended_timestamp, entry.mtime ? 5 : 1);
    put_flags_byte(out, flags);
    if (entry.mtime) {
      put_time(out, *entry.mtime);
    }
  }
  if (has_unix_id(entry)) {
    extra_header(out, extra_id::unix_id, 0);
  }
  return out.data();
}

}  // namespace

bool needs_zip64_sizes(const zip_entry& entry) {
  return entry.size >= zip64_limit || entry.compressed_size >= zip64_limit;
}

std::string name_on_disk(const zip_entry& entry) {
  return entry.is_directory() ? entry.name + "/" : entry.name;
}

std::uint16_t general_flags(const zip_entry& entry) {
  return static_cast<std::uint16_t>(
      (entry.encrypted ? general_flag::encrypted | general_flag::data_descriptor : 0) |
      (entry.utf8_name ? general_flag::utf8_name : 0));
}

std::string local_header(const zip_entry& entry) {
  const auto name = name_on_disk(entry);
  const auto extra = local_extra(entry);
  const bool zip64 = needs_zip64_sizes(entry);
  const auto when = to_dos_date_time(entry.modified);
  record_writer out;
  out.u32(signature::local_header)
      .u16(entry.version_needed)
      .u16(general_flags(entry))
      .u16(entry.method)
      .u16(when.time)
      .u16(when.date)
      .u32(entry.crc32)
      .u32(zip64 ? 0xFFFFFFFF : static_cast<std::uint32_t>(entry.compressed_size))
      .u32(zip64 ? 0xFFFFFFFF : static_cast<std::uint32_t>(entry.size))
      .u16(length16(name.size()))
      .u16(length16(extra.size()))
      .bytes(name)
      .bytes(extra);
  return out.data();
}

std::string central_header(const zip_entry& entry) {
  const auto name = name_on_disk(entry);
  const auto extra = central_extra(entry);
  const auto when = to_dos_date_time(entry.modified);
  record_writer out;
  out.u32(signature::central_header)
      .u16(version_made_by)
      .u16(entry.version_needed)
      .u16(general_flags(entry))
      .u16(entry.method)
      .u16(when.time)
      .u16(when.date)
      .u32(entry.crc32)
      .u32(clamp32(entry.compressed_size))
      .u32(clamp32(entry.size))
      .u16(length16(name.size()))
      .u16(length16(extra.size()))
      .u16(length16(entry.comment.size()))
      .u16(0)
      .u16(0)
      .u32(entry.external_attributes())
      .u32(clamp32(entry.local_header_offset))
      .bytes(name)
      .bytes(extra)
      .bytes(entry.comment);
  return out.data();
}

std::string data_descriptor(const zip_entry& entry) {
  record_writer out;
  out.u32(signature::data_descriptor)
      .u32(entry.crc32)
      .u32(static_cast<std::uint32_t>(entry.compressed_size))
      .u32(static_cast<std::uint32_t>(entry.size));
  return out.data();
}

std::string zip64_end_record(std::uint64_t entries, std::uint64_t directory_size,
                             std::uint64_t directory_offset) {
  record_writer out;
  out.u32(signature::zip64_end_record)
      .u64(zip64_end_record_size - 12)
      .u16(zip64_version)
      .u16(zip64_version)
      .u32(0)
      .u32(0)
      .u64(entries)
      .u64(entries)
      .u64(directory_size)
      .u64(directory_offset);
  return out.data();
}

std::string zip64_end_locator(std::uint64_t zip64_end_record_offset) {
  record_writer out;
  out.u32(signature::zip64_end_locator).u32(0).u64(zip64_end_record_offset).u32(1);
  return out.data();
}

std::string end_record(std::uint64_t entries, std::uint64_t directory_size,
                       std::uint64_t directory_offset) {
  const auto count = static_cast<std::uint16_t>(std::min(entries, zip64_count));
  record_writer out;
  out.u32(signature::end_record)
      .u16(0)
      .u16(0)
      .u16(count)
      .u16(count)
      .u32(clamp32(directory_size))
      .u32(clamp32(directory_offset))
      .u16(0);
  return out.data();
}

}  // namespace core::io::archivers
