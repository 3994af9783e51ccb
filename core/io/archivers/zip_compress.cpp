#include "core/io/archivers/zip_compress.hpp"

#include <ctime>
#include <stdexcept>

#include "core/io/archivers/detail/zip_file_sink_impl.hpp"
#include "core/io/archivers/zip_compressed_entry.hpp"
#include "core/utf.hpp"

namespace core::io::archivers {

namespace {

// On the stack, so memory stays flat whatever an entry's size; the file
// devices' own buffers keep the system calls large.
constexpr std::size_t copy_buffer_size = 4096;

// The last component of a path whose bytes need not be UTF-8: invalid
// sequences become U+FFFD rather than losing the whole name.
std::string entry_name(const std::string& path) {
  const auto name = core::to_valid_utf8(path);
  const auto slash = name.find_last_of('/');
  return slash == std::string::npos ? name : name.substr(slash + 1);
}

void copy_into(std::istream& stream, zip_compress::sink_impl& sink) {
  char buffer[copy_buffer_size];
  while (stream.read(buffer, sizeof buffer) || stream.gcount() > 0) {
    sink.write(buffer, stream.gcount());
  }
  if (stream.bad()) {
    throw stream_failure("bad read");
  }
  sink.finish_entry();
}

[[noreturn]] void throw_append_failure(const std::string& entry_path, const std::exception& e) {
  throw std::runtime_error("Cannot append the stream '" + entry_path +
                           "' to the archive: " + e.what());
}

void rewind_stream(std::istream& stream) {
  stream.clear();
  if (!stream.seekg(0, std::ios_base::beg)) {
    throw stream_failure("bad seek");
  }
}

}  // namespace

zip_compress::zip_compress(const std::string& path) : zip_compress(filesystem::file_sink(path)) {}

zip_compress::zip_compress(filesystem::file_sink file)
    : impl_(std::make_shared<sink_impl>(std::move(file))) {}

void zip_compress::close() {
  impl_->close();
}

void zip_compress::set_password(std::string password) {
  impl_->set_password(std::move(password));
}

void zip_compress::abort() noexcept {
  impl_->abort();
}

void append_stream(const std::string& entry_path, std::istream& stream, zip_compress& archive) {
  try {
    auto& sink = archive.impl();
    if (!stream.seekg(0, std::ios_base::end)) {
      throw stream_failure("bad seek");
    }
    const auto size = stream.tellg();
    rewind_stream(stream);

    zip_entry entry;
    entry.name = entry_name(entry_path);
    entry.size = static_cast<std::uint64_t>(static_cast<std::streamoff>(size));
    entry.modified = std::time(nullptr);
    entry.encrypted = !sink.password().empty();
    sink.start_entry(entry);
    try {
      copy_into(stream, sink);
    } catch (const give_up_compression&) {
      sink.rewind();
      rewind_stream(stream);
      copy_into(stream, sink);
    }
  } catch (const std::exception& e) {
    throw_append_failure(entry_path, e);
  }
}

void append_compressed(const std::string& entry_path, const compressed_entry& entry,
                       zip_compress& archive) {
  try {
    auto& sink = archive.impl();
    if (!sink.password().empty()) {
      throw std::runtime_error("cannot copy compressed data into an encrypted archive");
    }
    zip_entry description;
    description.name = entry_name(entry_path);
    description.method = entry.method;
    description.crc32 = entry.crc32;
    description.size = entry.size;
    // Only an empty entry has no data; the writer then stores it as it would anyway.
    description.compressed_size = entry.data.size();
    description.modified = std::time(nullptr);
    sink.start_entry(description);
    if (!entry.data.empty()) {
      sink.write(entry.data.data(), static_cast<std::streamsize>(entry.data.size()));
    }
    sink.finish_entry();
  } catch (const std::exception& e) {
    throw_append_failure(entry_path, e);
  }
}

}  // namespace core::io::archivers
