#pragma once

#include <istream>
#include <memory>
#include <string>

#include "core/io/stream_failure.hpp"

namespace core::io::filesystem {
class file_sink;
}

namespace core::io::archivers {

struct compressed_entry;

// Thrown when an entry's compressed form would outgrow its data; the writer
// then stores the entry instead.
class give_up_compression : public stream_failure {
 public:
  give_up_compression() : stream_failure("give up compression") {}
};

namespace detail {
template <class Sink>
class basic_zip_file_sink_impl;
}

// Writes one zip archive file, entry after entry, then the central
// directory on close(). Memory does not grow with the size of the entries.
// One thread at a time, except abort().
class zip_compress {
 public:
  using sink_impl = detail::basic_zip_file_sink_impl<filesystem::file_sink>;

  // path is UTF-8; an existing file is truncated. "bad open" on failure.
  explicit zip_compress(const std::string& path);
  // Writes into file, open and empty (file_sink::create_new).
  explicit zip_compress(filesystem::file_sink file);

  // Writes the central directory and the end records and closes the file.
  // Until then the file is not a complete archive.
  void close();

  // Entries appended afterwards are encrypted with the traditional cipher;
  // an empty password turns encryption off again.
  void set_password(std::string password);

  // Callable from any thread while another appends: the archive's next file
  // operation, or the one under way, fails with "bad device". The file stays
  // open until the writer is destroyed.
  void abort() noexcept;

  sink_impl& impl() { return *impl_; }

 private:
  std::shared_ptr<sink_impl> impl_;
};

// Appends the whole of a seekable stream (a file, or a memory stream holding
// an encoded image) as one entry named after the last component of
// entry_path, modified now, deflated unless that does not make it smaller.
// Any failure becomes std::runtime_error "Cannot append the stream '<path>'
// to the archive: <reason>"; the archive is then unusable (close() refuses).
void append_stream(const std::string& entry_path, std::istream& stream, zip_compress& archive);

// Copies an entry compressed in memory (compress_entry) into the archive as it
// stands, named and dated as append_stream does: the archive gets the bytes
// append_stream would have written for the same data. Failures as
// append_stream's; an archive with a password refuses it ("cannot copy
// compressed data into an encrypted archive").
void append_compressed(const std::string& entry_path, const compressed_entry& entry,
                       zip_compress& archive);

}  // namespace core::io::archivers
