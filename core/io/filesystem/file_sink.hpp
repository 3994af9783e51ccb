#pragma once

#include <ios>
#include <memory>
#include <optional>
#include <string>

#include <boost/iostreams/categories.hpp>
#include <boost/iostreams/positioning.hpp>

namespace core::io::filesystem {

namespace detail {
class file_impl;
}

// A writable, seekable Boost.Iostreams device over a file. Copies share the
// open file, which closes when the last copy goes; call flush() first to learn
// whether the last bytes reached it. Every operation without an open file
// throws core::io::stream_failure "bad device".
class file_sink {
 public:
  using char_type = char;
  struct category : boost::iostreams::output_seekable,
                    boost::iostreams::device_tag,
                    boost::iostreams::flushable_tag {};

  file_sink() = default;
  // path is UTF-8; "bad open" when the file cannot be opened.
  explicit file_sink(const std::string& path,
                     std::ios_base::openmode mode = std::ios_base::out | std::ios_base::binary);

  // A file made now, never one that was there before: nullopt when the name
  // is taken. Other failures throw "bad open".
  static std::optional<file_sink> create_new(const std::string& path);

  void open(const std::string& path,
            std::ios_base::openmode mode = std::ios_base::out | std::ios_base::binary);
  bool is_open() const { return impl_ != nullptr; }
  void close() { impl_.reset(); }

  // Writes all count bytes or throws "bad write".
  std::streamsize write(const char* buffer, std::streamsize count);
  boost::iostreams::stream_offset seek(boost::iostreams::stream_offset offset,
                                       std::ios_base::seekdir direction);
  bool flush();

 private:
  detail::file_impl& impl() const;

  std::shared_ptr<detail::file_impl> impl_;
};

}  // namespace core::io::filesystem
