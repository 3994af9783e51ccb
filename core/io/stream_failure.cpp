#include "core/io/stream_failure.hpp"

#include "core/system_error.hpp"

namespace core::io {

stream_failure::stream_failure(const std::string& text)
    : std::ios_base::failure(text, std::io_errc::stream), text_(text) {}

stream_failure::stream_failure(const std::string& text, int error)
    : stream_failure(error == 0
                         ? text
                         : windows_system_error(text, static_cast<std::uint32_t>(error)).what()) {}

const char* stream_failure::what() const noexcept {
  return text_.what();
}

}  // namespace core::io
