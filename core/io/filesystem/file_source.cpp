#include "core/io/filesystem/file_source.hpp"

#include "core/io/filesystem/detail/file_impl.hpp"

namespace core::io::filesystem {

file_source::file_source(const std::string& path, std::ios_base::openmode mode) {
  open(path, mode);
}

void file_source::open(const std::string& path, std::ios_base::openmode mode) {
  impl_ = std::make_shared<detail::file_impl>(path, mode);
}

std::streamsize file_source::read(char* buffer, std::streamsize count) {
  return impl().read(buffer, count);
}

boost::iostreams::stream_offset file_source::seek(boost::iostreams::stream_offset offset,
                                                  std::ios_base::seekdir direction) {
  return impl().seek(offset, direction);
}

detail::file_impl& file_source::impl() const {
  return detail::require_open(impl_);
}

}  // namespace core::io::filesystem
