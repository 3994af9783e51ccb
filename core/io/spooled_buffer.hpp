#pragma once

#include <ext/stdio_filebuf.h>

#include <cstdint>
#include <memory>
#include <streambuf>
#include <string>

namespace core::io {

// An output buffer that holds what is written in memory up to a limit and,
// once more comes, moves it all to a file in a folder and goes on there: a
// large output is never held whole, and never twice. The file has no name
// from the moment it is made, so it goes with the buffer, or with the
// process, on every path. The writer may seek back over what it wrote (as a
// TIFF encoder does) and overwrite it. One thread at a time.
class spooled_buffer : public std::streambuf {
 public:
  // folder is UTF-8; nothing is made there until the limit is passed.
  spooled_buffer(std::string folder, std::size_t memory_limit);
  ~spooled_buffer() override;
  spooled_buffer(const spooled_buffer&) = delete;
  spooled_buffer& operator=(const spooled_buffer&) = delete;

  // Bytes written so far: up to the furthest one.
  std::uint64_t size() const { return size_; }
  bool in_file() const { return file_ != nullptr; }
  std::size_t memory_limit() const { return memory_limit_; }
  // The errno value of the first write that failed (the file could not be
  // made or filled), 0 while none did. A failed write writes nothing, so a
  // stream over the buffer turns bad.
  int write_error() const { return write_error_; }

  // In memory: the bytes, moved out.
  std::string take_bytes();
  // In a file: the file, flushed and rewound for reading from its start.
  // Throws core::io::stream_failure "bad write" when its last bytes cannot
  // reach it, "bad seek" when it cannot be rewound.
  std::streambuf& file();

 protected:
  std::streamsize xsputn(const char* data, std::streamsize count) override;
  int_type overflow(int_type c) override;
  // The write position, within 0 to size(); reading is file()'s alone.
  pos_type seekoff(off_type offset, std::ios_base::seekdir direction,
                   std::ios_base::openmode which) override;
  pos_type seekpos(pos_type position, std::ios_base::openmode which) override;

 private:
  void move_to_file();
  bool write_to_file(const char* data, std::streamsize count);

  const std::string folder_;
  const std::size_t memory_limit_;
  std::string memory_;
  std::unique_ptr<__gnu_cxx::stdio_filebuf<char>> file_;
  std::uint64_t size_ = 0;
  std::uint64_t put_at_ = 0;
  // Where the file's own position is, after the last write to it.
  std::uint64_t file_at_ = 0;
  int write_error_ = 0;
};

}  // namespace core::io
