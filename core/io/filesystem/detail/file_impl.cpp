#include "core/io/filesystem/detail/file_impl.hpp"

#include <cerrno>
#include <cstring>

#include "core/io/stream_failure.hpp"
#include "core/log/logger.hpp"

namespace core::io::filesystem::detail {

namespace {

// The stdio buffer: large enough that the 4 KiB pieces of the zip code do not
// each become a system call.
constexpr std::size_t buffer_size = 64 * 1024;

// The standard I/O mode string for an open mode: "r", "r+", "w", "w+" or "a",
// with "b" for binary, and always "e": a program started meanwhile must not
// inherit the file (an archive of 4 GiB would stay open in it).
std::string fopen_mode(std::ios_base::openmode mode) {
  std::string text;
  if (!(mode & std::ios_base::in)) {
    text = (mode & std::ios_base::app) ? "a" : "w";
  } else if (mode & std::ios_base::trunc) {
    text = "w+";
  } else {
    text = (mode & std::ios_base::out) ? "r+" : "r";
  }
  if (mode & std::ios_base::binary) {
    text += 'b';
  }
  return text + 'e';
}

}  // namespace

void file_impl::closer::operator()(std::FILE* file) const noexcept {
  // Buffered data of a sink is written here; a failure can only be logged.
  if (std::fclose(file) != 0) {
    core::log::write(core::log::severity::error, "cannot close a file: %s", std::strerror(errno));
  }
}

file_impl::file_impl(const std::string& path, std::ios_base::openmode mode)
    : file_impl(
          std::unique_ptr<std::FILE, closer>(std::fopen(path.c_str(), fopen_mode(mode).c_str()))) {}

file_impl::file_impl(std::unique_ptr<std::FILE, closer> file) : file_(std::move(file)) {
  if (!file_) {
    throw stream_failure("bad open", errno);
  }
  std::setvbuf(file_.get(), nullptr, _IOFBF, buffer_size);
}

std::shared_ptr<file_impl> file_impl::create_new(const std::string& path) {
  // "x" is O_EXCL: the name is taken and the file made in one step, and a
  // link in the name's place is never followed.
  std::unique_ptr<std::FILE, closer> file(std::fopen(path.c_str(), "wbxe"));
  if (!file && errno == EEXIST) {
    return nullptr;
  }
  return std::shared_ptr<file_impl>(new file_impl(std::move(file)));
}

std::streamsize file_impl::read(char* buffer, std::streamsize count) {
  // A failure the system gave no error for keeps the bare text.
  errno = 0;
  const auto n = std::fread(buffer, 1, static_cast<std::size_t>(count), file_.get());
  if (n == 0 && count > 0) {
    if (std::ferror(file_.get())) {
      throw stream_failure("bad read", errno);
    }
    return -1;
  }
  return static_cast<std::streamsize>(n);
}

std::streamsize file_impl::write(const char* buffer, std::streamsize count) {
  errno = 0;
  if (std::fwrite(buffer, 1, static_cast<std::size_t>(count), file_.get()) !=
      static_cast<std::size_t>(count)) {
    throw stream_failure("bad write", errno);
  }
  return count;
}

boost::iostreams::stream_offset file_impl::seek(boost::iostreams::stream_offset offset,
                                                std::ios_base::seekdir direction) {
  const int whence = direction == std::ios_base::beg   ? SEEK_SET
                     : direction == std::ios_base::cur ? SEEK_CUR
                                                       : SEEK_END;
  if (::fseeko(file_.get(), offset, whence) != 0) {
    throw stream_failure("bad seek", errno);
  }
  const auto position = ::ftello(file_.get());
  if (position < 0) {
    throw stream_failure("bad seek", errno);
  }
  return position;
}

void file_impl::flush() {
  if (std::fflush(file_.get()) != 0) {
    throw stream_failure("bad write", errno);
  }
}

file_impl& require_open(const std::shared_ptr<file_impl>& file) {
  if (!file) {
    throw stream_failure("bad device");
  }
  return *file;
}

}  // namespace core::io::filesystem::detail
