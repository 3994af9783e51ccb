#include "core/io/archivers/zip_file_source.hpp"

#include <algorithm>
#include <stdexcept>
#include <string_view>

#include <boost/iostreams/filter/bzip2.hpp>
#include <boost/iostreams/filter/zlib.hpp>

#include "core/io/archivers/detail/little_endian.hpp"
#include "core/io/archivers/dos_time.hpp"
#include "core/io/archivers/zip_records.hpp"

namespace core::io::archivers::detail {

namespace {

using std::ios_base;

constexpr std::size_t footer_block = 1024;
constexpr std::string_view end_record_bytes("PK\x05\x06", 4);

void read_fully(filesystem::file_source& file, char* buffer, std::size_t count) {
  std::size_t done = 0;
  while (done < count) {
    const auto n = file.read(buffer + done, static_cast<std::streamsize>(count - done));
    if (n <= 0) {
      throw stream_failure("bad read");
    }
    done += static_cast<std::size_t>(n);
  }
}

std::string read_exact(filesystem::file_source& file, std::size_t count) {
  std::string data(count, '\0');
  read_fully(file, data.data(), count);
  return data;
}

void seek_to(filesystem::file_source& file, std::uint64_t offset) {
  file.seek(static_cast<boost::iostreams::stream_offset>(offset), ios_base::beg);
}

// The record nearest the end of the file. Blocks overlap by three bytes, so a
// signature that straddles two of them is found too.
std::uint64_t find_end_record(filesystem::file_source& file) {
  const auto file_size = static_cast<std::uint64_t>(file.seek(0, ios_base::end));
  if (file_size < end_record_size) {
    throw std::runtime_error("cannot find ZIP footer");
  }
  const auto last = file_size - end_record_size;
  seek_to(file, last);
  if (read_exact(file, 4) == end_record_bytes) {
    return last;
  }
  // Every signature starting before `last` ends by last + 3.
  auto block_end = last + 3;
  while (block_end >= end_record_bytes.size()) {
    const auto block_start = block_end > footer_block ? block_end - footer_block : 0;
    seek_to(file, block_start);
    const auto block = read_exact(file, block_end - block_start);
    const auto found = block.rfind(end_record_bytes);
    if (found != std::string::npos) {
      return block_start + found;
    }
    if (block_start == 0) {
      break;
    }
    block_end = block_start + end_record_bytes.size() - 1;
  }
  throw std::runtime_error("cannot find ZIP footer");
}

// Calls field(id, data) for each extra field; a field running past the end
// of the extra data is "bad read". Fewer than four bytes left end the walk.
template <class Field>
void walk_extra_fields(std::string_view extra, Field&& field) {
  record_reader in(extra);
  while (in.remaining() >= 4) {
    const auto id = in.u16();
    const auto size = in.u16();
    if (size > in.remaining()) {
      throw stream_failure("bad read");
    }
    field(id, in.bytes(size));
  }
}

std::uint64_t read_zip64_value(record_reader& in) {
  if (in.remaining() < 8) {
    throw std::runtime_error("bad ZIP64 extended header");
  }
  return in.u64();
}

std::time_t read_time(record_reader& in) {
  if (in.remaining() < 4) {
    throw std::runtime_error("bad ZIP extended timestamp");
  }
  return static_cast<std::int32_t>(in.u32());
}

std::uint8_t timestamp_flags(record_reader& in) {
  if (in.remaining() == 0) {
    throw std::runtime_error("bad ZIP extended timestamp");
  }
  return in.u8();
}

void parse_central_extra(zip_entry& entry, std::string_view extra) {
  walk_extra_fields(extra, [&](std::uint16_t id, std::string_view data) {
    record_reader in(data);
    if (id == extra_id::zip64) {
      for (auto* value : {&entry.size, &entry.compressed_size, &entry.local_header_offset}) {
        if (*value == zip64_limit) {
          *value = read_zip64_value(in);
        }
      }
    } else if (id == extra_id::extended_timestamp) {
      if (timestamp_flags(in) & 1) {
        entry.mtime = read_time(in);
      }
    }
  });
}

// With a data descriptor (bit 3) the local sizes are not the entry's: streamed
// archives carry zeros there, so the central directory's values stand.
void parse_local_extra(zip_entry& entry, std::string_view extra, bool local_sizes_are_zip64) {
  walk_extra_fields(extra, [&](std::uint16_t id, std::string_view data) {
    record_reader in(data);
    if (id == extra_id::zip64 && local_sizes_are_zip64) {
      entry.size = read_zip64_value(in);
      entry.compressed_size = read_zip64_value(in);
    } else if (id == extra_id::extended_timestamp) {
      const auto flags = timestamp_flags(in);
      for (auto [bit, time] : {std::pair{1, &entry.mtime}, {2, &entry.atime}, {4, &entry.ctime}}) {
        if (flags & bit) {
          *time = read_time(in);
        }
      }
    } else if (id == extra_id::unix_id && in.remaining() >= 4) {
      entry.uid = in.u16();
      entry.gid = in.u16();
    }
  });
}

void set_name(zip_entry& entry, std::string_view name) {
  if (!name.empty() && name.back() == '/') {
    name.remove_suffix(1);
    entry.dos_attributes |= 0x10;
  }
  entry.name = name;
}

bool same_path(std::string_view name, std::string_view path) {
  return name.size() == path.size() &&
         std::equal(name.begin(), name.end(), path.begin(), [](char a, char b) {
           return a == b || ((a == '/' || a == '\\') && (b == '/' || b == '\\'));
         });
}

bool supported_method(std::uint16_t method) {
  return method == 0 || method == 8 || method == 12;
}

}  // namespace

// Pulls the raw entry bytes into a decompressor.
struct basic_zip_file_source_impl<filesystem::file_source>::raw_source {
  using char_type = char;
  using category = boost::iostreams::source_tag;
  basic_zip_file_source_impl* reader;
  std::streamsize read(char* buffer, std::streamsize count) {
    return reader->raw_read(buffer, count);
  }
};

struct basic_zip_file_source_impl<filesystem::file_source>::decompressors {
  decompressors() : zlib(make_zlib_params()) {}
  static boost::iostreams::zlib_params make_zlib_params() {
    boost::iostreams::zlib_params params;
    params.noheader = true;
    return params;
  }
  boost::iostreams::zlib_decompressor zlib;
  boost::iostreams::bzip2_decompressor bzip2;
};

basic_zip_file_source_impl<filesystem::file_source>::basic_zip_file_source_impl(
    filesystem::file_source file)
    : file_(std::move(file)), decompressors_(std::make_unique<decompressors>()) {
  read_central_directory();
  file_.seek(0, ios_base::beg);
}

basic_zip_file_source_impl<filesystem::file_source>::~basic_zip_file_source_impl() = default;

void basic_zip_file_source_impl<filesystem::file_source>::read_central_directory() {
  const auto end_offset = find_end_record(file_);
  seek_to(file_, end_offset + 4);
  const auto end_bytes = read_exact(file_, end_record_size - 4);
  record_reader end(end_bytes);
  end.u16();
  end.u16();
  std::uint64_t count = end.u16();
  end.u16();
  std::uint64_t directory_size = end.u32();
  std::uint64_t directory_offset = end.u32();
  if ((count == zip64_count || directory_size == zip64_limit || directory_offset == zip64_limit) &&
      end_offset >= zip64_end_locator_size) {
    seek_to(file_, end_offset - zip64_end_locator_size);
    const auto locator_bytes = read_exact(file_, zip64_end_locator_size);
    record_reader locator(locator_bytes);
    if (locator.u32() == signature::zip64_end_locator) {
      locator.u32();
      seek_to(file_, locator.u64());
      const auto record_bytes = read_exact(file_, zip64_end_record_size);
      record_reader record(record_bytes);
      if (record.u32() != signature::zip64_end_record) {
        throw std::runtime_error("bad ZIP signature");
      }
      record.bytes(8 + 2 + 2 + 4 + 4);
      count = record.u64();
      record.u64();
      directory_size = record.u64();
      directory_offset = record.u64();
    }
  }

  seek_to(file_, directory_offset);
  for (std::uint64_t i = 0; i < count; ++i) {
    const auto header_bytes = read_exact(file_, central_header_size);
    record_reader header(header_bytes);
    if (header.u32() != signature::central_header) {
      throw std::runtime_error("bad ZIP signature");
    }
    zip_entry entry;
    entry.host_system = static_cast<std::uint8_t>(header.u16() >> 8);
    entry.version_needed = static_cast<std::uint8_t>(header.u16());
    entry.encrypted = (header.u16() & general_flag::encrypted) != 0;
    entry.method = header.u16();
    const auto time = header.u16();
    const auto date = header.u16();
    entry.modified = from_dos_date_time(date, time);
    entry.crc32 = header.u32();
    entry.compressed_size = header.u32();
    entry.size = header.u32();
    const auto name_length = header.u16();
    const auto extra_length = header.u16();
    const auto comment_length = header.u16();
    header.u16();
    header.u16();
    const auto attributes = header.u32();
    entry.dos_attributes = static_cast<std::uint16_t>(attributes);
    entry.unix_mode = static_cast<std::uint16_t>(attributes >> 16);
    entry.local_header_offset = header.u32();

    const auto variable = read_exact(file_, name_length + extra_length + comment_length);
    record_reader parts(variable);
    set_name(entry, parts.bytes(name_length));
    parse_central_extra(entry, parts.bytes(extra_length));
    entry.comment = parts.bytes(comment_length);
    entries_.push_back(std::move(entry));
  }
}

void basic_zip_file_source_impl<filesystem::file_source>::select(const std::string& path) {
  const auto found = std::find_if(entries_.begin(), entries_.end(),
                                  [&](const zip_entry& e) { return same_path(e.name, path); });
  if (found == entries_.end()) {
    throw std::runtime_error("no such path");
  }
  finished_ = true;
  open_local_header(*found);
  start_reading();
  prepare();
}

void basic_zip_file_source_impl<filesystem::file_source>::open_local_header(
    const zip_entry& entry) {
  selected_ = entry;
  seek_to(file_, entry.local_header_offset);
  const auto header_bytes = read_exact(file_, local_header_size);
  record_reader header(header_bytes);
  if (header.u32() != signature::local_header) {
    throw std::runtime_error("bad ZIP signature");
  }
  selected_.version_needed = static_cast<std::uint8_t>(header.u16());
  const auto flags = header.u16();
  selected_.encrypted = (flags & general_flag::encrypted) != 0;
  selected_.utf8_name = (flags & general_flag::utf8_name) != 0;
  selected_.method = header.u16();
  const auto time = header.u16();
  const auto date = header.u16();
  selected_.modified = from_dos_date_time(date, time);
  const auto crc = header.u32();
  const auto compressed_size = header.u32();
  const auto size = header.u32();
  const bool data_descriptor = (flags & general_flag::data_descriptor) != 0;
  if (data_descriptor) {
    selected_.password_check = time;
  } else {
    selected_.crc32 = crc;
    selected_.compressed_size = compressed_size;
    selected_.size = size;
    selected_.password_check = static_cast<std::uint16_t>(crc >> 16);
  }
  const auto name_length = header.u16();
  const auto extra_length = header.u16();
  const auto variable = read_exact(file_, name_length + extra_length);
  set_name(selected_, std::string_view(variable).substr(0, name_length));
  parse_local_extra(selected_, std::string_view(variable).substr(name_length),
                    !data_descriptor && (compressed_size == zip64_limit || size == zip64_limit));
}

void basic_zip_file_source_impl<filesystem::file_source>::start_reading() {
  cipher_.reset();
  remaining_ = selected_.compressed_size;
  if (selected_.encrypted) {
    if (remaining_ < encryption_header_size) {
      throw std::runtime_error("bad ZIP encryption");
    }
    const auto header = read_exact(file_, encryption_header_size);
    std::copy(header.begin(), header.end(), encryption_header_.begin());
    remaining_ -= encryption_header_size;
  }
}

void basic_zip_file_source_impl<filesystem::file_source>::prepare() {
  if (!supported_method(selected_.method)) {
    throw std::runtime_error("unsupported ZIP format");
  }
  crc_.reset();
  delivered_ = 0;
  raw_source source{this};
  decompressors_->zlib.close(source, ios_base::in);
  decompressors_->bzip2.close(source, ios_base::in);
  finished_ = false;
  if (selected_.is_symlink()) {
    std::string target;
    char buffer[4096];
    for (std::streamsize n; (n = read(buffer, sizeof buffer)) != -1;) {
      target.append(buffer, static_cast<std::size_t>(n));
    }
    selected_.link_target = std::move(target);
  }
}

std::streamsize basic_zip_file_source_impl<filesystem::file_source>::read(char* buffer,
                                                                          std::streamsize count) {
  if (finished_) {
    return -1;
  }
  if (count <= 0) {
    return 0;
  }
  const auto n = decompress(buffer, count);
  if (n > 0) {
    crc_.update(buffer, static_cast<std::size_t>(n));
    delivered_ += static_cast<std::uint64_t>(n);
    // Also stops an entry that inflates far beyond what it claims.
    if (delivered_ > selected_.size) {
      throw stream_failure("ZIP entry size mismatch");
    }
    return n;
  }
  if (crc_.value() != selected_.crc32) {
    throw stream_failure("CRC missmatch");
  }
  if (delivered_ != selected_.size) {
    throw stream_failure("ZIP entry size mismatch");
  }
  finished_ = true;
  return -1;
}

std::streamsize basic_zip_file_source_impl<filesystem::file_source>::decompress(
    char* buffer, std::streamsize count) {
  raw_source source{this};
  try {
    switch (selected_.method) {
      case 8:
        return decompressors_->zlib.read(source, buffer, count);
      case 12:
        return decompressors_->bzip2.read(source, buffer, count);
      default:
        return raw_read(buffer, count);
    }
  } catch (const boost::iostreams::zlib_error&) {
    throw stream_failure("zlib error");
  } catch (const boost::iostreams::bzip2_error&) {
    throw stream_failure("bzip2 error");
  }
}

std::streamsize basic_zip_file_source_impl<filesystem::file_source>::raw_read(
    char* buffer, std::streamsize count) {
  if (selected_.encrypted && !cipher_) {
    check_password();
  }
  if (remaining_ == 0) {
    return -1;
  }
  const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(
      remaining_, static_cast<std::uint64_t>(std::max<std::streamsize>(count, 0))));
  read_fully(file_, buffer, n);
  remaining_ -= n;
  if (cipher_) {
    cipher_->decrypt(buffer, n);
  }
  return static_cast<std::streamsize>(n);
}

void basic_zip_file_source_impl<filesystem::file_source>::check_password() {
  zip_cipher cipher(password_);
  auto header = encryption_header_;
  cipher.decrypt(header.data(), header.size());
  const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(header[i]); };
  const bool matches = selected_.version_needed < 20
                           ? (byte(10) | byte(11) << 8) == selected_.password_check
                           : byte(11) == selected_.password_check >> 8;
  if (!matches) {
    throw password_incorrect();
  }
  cipher_ = cipher;
}

}  // namespace core::io::archivers::detail
