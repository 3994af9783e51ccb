#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "engine/interop/command.hpp"

namespace parvel::interop {

// The last request of a send: who sends what to whom, and which uploaded
// media it is. The service notifies the recipients when it accepts it.
class package : public command {
 public:
  package() : command(package_term) {}

  void clear() override { *this = package(); }

  // The request body.
  std::string to_xml() const;
  // Throws core::msxml_exception for a body it cannot read.
  static package parse(const std::string& body);

  // Throws std::invalid_argument "package accout index is out of range."
  // for an index at or past the end.
  const std::string& recipient(std::size_t index) const;

  std::string from;
  std::string subject;
  std::string message;
  std::vector<std::string> recipients;
  // The address of the uploaded media entry.
  std::string media;
};

}  // namespace parvel::interop
