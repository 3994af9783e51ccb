#include "core/system_error.hpp"

#include <cstring>

namespace core {

namespace {

const char* winhttp_message(std::uint32_t code) {
  switch (code) {
    case winhttp_error::timeout: return "The operation timed out";
    case winhttp_error::name_not_resolved: return "The server name or address could not be resolved";
    case winhttp_error::operation_cancelled: return "The operation was cancelled";
    case winhttp_error::cannot_connect: return "A connection with the server could not be established";
    case winhttp_error::connection_error:
      return "The connection with the server was terminated abnormally";
    case winhttp_error::invalid_server_response:
      return "The server returned an invalid or unrecognized response";
    case winhttp_error::secure_failure:
      return "A security error occurred while checking the server's certificate";
    default: return nullptr;
  }
}

}  // namespace

std::string windows_error_traits::message(std::uint32_t code) {
  if (const char* text = winhttp_message(code)) {
    return text;
  }
  // Codes beyond errno's range would wrap to negative ints in strerror.
  if (code <= 4095) {
    char buffer[256];
    // GNU strerror_r: returns either buffer or a static string.
    const char* text = strerror_r(static_cast<int>(code), buffer, sizeof buffer);
    if (text != nullptr && std::strncmp(text, "Unknown error", 13) != 0) {
      return text;
    }
  }
  return "The system cannot find message text for message number: '" + std::to_string(code) + "'";
}

}  // namespace core
