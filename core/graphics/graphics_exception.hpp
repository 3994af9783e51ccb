#pragma once

#include <exception>
#include <string>

namespace core::graphics {

// A failure of the imaging code that no library status explains.
class graphics_exception : public std::exception {
 public:
  explicit graphics_exception(std::string message) : message_(std::move(message)) {}

  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
};

}  // namespace core::graphics
