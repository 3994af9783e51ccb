#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace core {

// Codes of the HTTP stand-in's transport failures. Callers tell connection
// failures apart by them, so they keep the values the callers were written for.
namespace winhttp_error {
inline constexpr std::uint32_t timeout = 12002;
inline constexpr std::uint32_t name_not_resolved = 12007;
inline constexpr std::uint32_t operation_cancelled = 12017;
inline constexpr std::uint32_t cannot_connect = 12029;
inline constexpr std::uint32_t connection_error = 12030;
inline constexpr std::uint32_t invalid_server_response = 12152;
inline constexpr std::uint32_t secure_failure = 12175;
}  // namespace winhttp_error

// Renders an error code: the HTTP stand-in's codes above, else errno values.
struct windows_error_traits {
  static std::string message(std::uint32_t code);
};

// An error code with the caller's description of what failed. The text is
// "prefix: message" (only the message when the prefix is empty), built on the
// first what() and kept.
template <class Traits>
class system_error : public std::exception {
 public:
  system_error(std::string prefix, std::uint32_t code) : prefix_(std::move(prefix)), code_(code) {}

  const char* what() const noexcept override {
    if (text_.empty()) {
      try {
        text_ = prefix_.empty() ? Traits::message(code_) : prefix_ + ": " + Traits::message(code_);
      } catch (...) {
        return prefix_.c_str();
      }
    }
    return text_.c_str();
  }

  std::uint32_t code() const noexcept { return code_; }

 private:
  std::string prefix_;
  std::uint32_t code_;
  mutable std::string text_;
};

using windows_system_error = system_error<windows_error_traits>;

}  // namespace core
