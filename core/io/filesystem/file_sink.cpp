#include "core/io/filesystem/file_sink.hpp"

#include "core/io/filesystem/detail/file_impl.hpp"

namespace core::io::filesystem {

file_sink::file_sink(const std::string& path, std::ios_base::openmode mode) {
  open(path, mode);
}

std::optional<file_sink> file_sink::create_new(const std::string& path) {
  std::shared_ptr<detail::file_impl> file = detail::file_impl::create_new(path);
  if (!file) {
    return std::nullopt;
  }
  file_sink sink;
  sink.impl_ = std::move(file);
  return sink;
}

void file_sink::open(const std::string& path, std::ios_base::openmode mode) {
  impl_ = std::make_shared<detail::file_impl>(path, mode);
}

std::streamsize file_sink::write(const char* buffer, std::streamsize count) {
  return impl().write(buffer, count);
}

boost::iostreams::stream_offset file_sink::seek(boost::iostreams::stream_offset offset,
                                                std::ios_base::seekdir direction) {
  return impl().seek(offset, direction);
}

bool file_sink::flush() {
  impl().flush();
  return true;
}

detail::file_impl& file_sink::impl() const {
  return detail::require_open(impl_);
}

}  // namespace core::io::filesystem
