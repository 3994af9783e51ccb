#pragma once

#include <cstdio>
#include <ios>
#include <memory>
#include <string>

#include <boost/iostreams/positioning.hpp>

namespace core::io::filesystem::detail {

// One open FILE, closed when the last device holding it lets go. Offsets are
// 64-bit; the path is UTF-8 and goes to the system as bytes. The texts of its
// failures carry the system's error after them: "bad write: No space left on
// device".
class file_impl {
 public:
  // Throws core::io::stream_failure "bad open".
  file_impl(const std::string& path, std::ios_base::openmode mode);
  // A file made now for writing, never one that was there before: nullptr
  // when the name is taken (by any kind of entry, a link included). Other
  // failures throw "bad open".
  static std::shared_ptr<file_impl> create_new(const std::string& path);

  // Up to count bytes; -1 at the end of the file; "bad read" on an error.
  std::streamsize read(char* buffer, std::streamsize count);
  // All count bytes or "bad write".
  std::streamsize write(const char* buffer, std::streamsize count);
  // Any direction other than beg or cur counts from the end; "bad seek".
  boost::iostreams::stream_offset seek(boost::iostreams::stream_offset offset,
                                       std::ios_base::seekdir direction);
  // Hands buffered bytes to the system; "bad write" when it refuses them, which
  // closing alone could only log.
  void flush();

 private:
  struct closer {
    void operator()(std::FILE* file) const noexcept;
  };
  // Takes file, which may be empty: "bad open" with errno then.
  explicit file_impl(std::unique_ptr<std::FILE, closer> file);

  std::unique_ptr<std::FILE, closer> file_;
};

// The file of a device; "bad device" when the device has none.
file_impl& require_open(const std::shared_ptr<file_impl>& file);

}  // namespace core::io::filesystem::detail
