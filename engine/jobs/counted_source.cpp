#include "engine/jobs/counted_source.hpp"

namespace parvel {

counted_source::counted_source(std::streambuf& source,
                               std::function<bool(std::uint64_t position)> go_on)
    : source_(source), go_on_(std::move(go_on)) {}

counted_source::int_type counted_source::underflow() {
  if (gptr() < egptr()) {
    return traits_type::to_int_type(*gptr());
  }
  if (!go_on_(position_)) {
    return traits_type::eof();
  }
  const std::streamsize count = source_.sgetn(piece_.data(), piece_.size());
  if (count <= 0) {
    return traits_type::eof();
  }
  setg(piece_.data(), piece_.data(), piece_.data() + count);
  position_ += static_cast<std::uint64_t>(count);
  return traits_type::to_int_type(*gptr());
}

counted_source::pos_type counted_source::seekoff(off_type offset, std::ios_base::seekdir direction,
                                                 std::ios_base::openmode which) {
  if (direction == std::ios_base::cur) {
    // The source stands past the bytes not yet taken from the piece.
    offset -= egptr() - gptr();
  }
  return moved_to(source_.pubseekoff(offset, direction, which));
}

counted_source::pos_type counted_source::seekpos(pos_type position, std::ios_base::openmode which) {
  return moved_to(source_.pubseekpos(position, which));
}

counted_source::pos_type counted_source::moved_to(pos_type position) {
  setg(nullptr, nullptr, nullptr);
  if (position != pos_type(off_type(-1))) {
    position_ = static_cast<std::uint64_t>(static_cast<std::streamoff>(position));
  }
  return position;
}

}  // namespace parvel
