#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace core {

// A failure to read an XML document.
class xml_exception : public std::exception {
 public:
  explicit xml_exception(std::string message) : message_(std::move(message)) {}
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
};

// A failure of the XML reader, with the code it failed with. The text is
// "MSXMLError: " + message + " [0x" + code in lower-case hex + "]".
class msxml_exception : public xml_exception {
 public:
  msxml_exception(const std::string& message, std::uint32_t hresult);
  std::uint32_t hresult() const noexcept { return hresult_; }

 private:
  std::uint32_t hresult_;
};

// The code of a failure that a handler raised inside a callback.
inline constexpr std::uint32_t e_fail = 0x80004005u;

}  // namespace core
