#pragma once

#include <string>

#include "engine/interop/command.hpp"

namespace parvel::interop {

// The service's answer to a request for an upload ticket: its text is the
// address the following PUT goes to. Only read, never written.
class ticket : public command {
 public:
  ticket() : command(ticket_term) {}

  void clear() override { *this = ticket(); }

  // Throws core::msxml_exception for a body it cannot read.
  static ticket parse(const std::string& body);

  std::string type;
  std::string value;
};

}  // namespace parvel::interop
