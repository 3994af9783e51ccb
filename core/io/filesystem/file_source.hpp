#pragma once

#include <ios>
#include <memory>
#include <string>

#include <boost/iostreams/categories.hpp>
#include <boost/iostreams/positioning.hpp>

namespace core::io::filesystem {

namespace detail {
class file_impl;
}

// A readable, seekable Boost.Iostreams device over a file. Copies share the
// open file, which closes when the last copy goes. Every operation without an
// open file throws core::io::stream_failure "bad device".
class file_source {
 public:
  using char_type = char;
  struct category : boost::iostreams::input_seekable, boost::iostreams::device_tag {};

  file_source() = default;
  // path is UTF-8; "bad open" when the file cannot be opened.
  explicit file_source(const std::string& path,
                       std::ios_base::openmode mode = std::ios_base::in | std::ios_base::binary);

  void open(const std::string& path,
            std::ios_base::openmode mode = std::ios_base::in | std::ios_base::binary);
  bool is_open() const { return impl_ != nullptr; }
  void close() { impl_.reset(); }

  // Up to count bytes, -1 at the end of the file.
  std::streamsize read(char* buffer, std::streamsize count);
  boost::iostreams::stream_offset seek(boost::iostreams::stream_offset offset,
                                       std::ios_base::seekdir direction);

 private:
  detail::file_impl& impl() const;

  std::shared_ptr<detail::file_impl> impl_;
};

}  // namespace core::io::filesystem
