#pragma once

#include <exception>
#include <string>

namespace core {

// An operation that the object it was called on does not offer.
class not_supported_exception : public std::exception {
 public:
  explicit not_supported_exception(std::string message) : message_(std::move(message)) {}

  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
};

}  // namespace core
