#include "core/io/stream_failure.hpp"

namespace core::io {

stream_failure::stream_failure(const std::string& text)
    : std::ios_base::failure(text, std::io_errc::stream), text_(text) {}

const char* stream_failure::what() const noexcept {
  return text_.what();
}

}  // namespace core::io
