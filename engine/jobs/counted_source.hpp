#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <streambuf>

namespace parvel {

// Reads another stream buffer in pieces, knows where it stands in it, and
// asks before each piece whether to go on: a refusal ends the data there, as
// the end of the file would. Seeks pass through.
class counted_source : public std::streambuf {
 public:
  // go_on: given the position reached; false stops the reading.
  counted_source(std::streambuf& source, std::function<bool(std::uint64_t position)> go_on);

  // Bytes from the start up to the end of the last piece read.
  std::uint64_t position() const { return position_; }

 protected:
  int_type underflow() override;
  pos_type seekoff(off_type offset, std::ios_base::seekdir direction,
                   std::ios_base::openmode which) override;
  pos_type seekpos(pos_type position, std::ios_base::openmode which) override;

 private:
  pos_type moved_to(pos_type position);

  std::streambuf& source_;
  const std::function<bool(std::uint64_t)> go_on_;
  std::array<char, 64 * 1024> piece_{};
  std::uint64_t position_ = 0;
};

}  // namespace parvel
