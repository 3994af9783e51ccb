#include "core/xml/xml_exception.hpp"

#include <cstdio>

namespace core {

namespace {

std::string full_text(const std::string& message, std::uint32_t hresult) {
  char code[16];
  std::snprintf(code, sizeof code, "%x", static_cast<unsigned>(hresult));
  return "MSXMLError: " + message + " [0x" + code + "]";
}

}  // namespace

msxml_exception::msxml_exception(const std::string& message, std::uint32_t hresult)
    : xml_exception(full_text(message, hresult)), hresult_(hresult) {}

}  // namespace core
