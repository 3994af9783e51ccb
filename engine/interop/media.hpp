#pragma once

#include <cstdint>
#include <string>

#include "engine/interop/command.hpp"

namespace parvel::interop {

// Announces an archive: the request that opens a send, and the service's
// answer, whose first link is where the rest of the send goes.
class media : public command {
 public:
  media() : command(media_term) {}

  void clear() override { *this = media(); }

  // The request body.
  std::string to_xml() const;
  // Throws core::msxml_exception for a body it cannot read.
  static media parse(const std::string& body);

  std::string mime_type;
  std::string format;
  std::string resolution;
  std::string original_name;
  std::uint32_t entries = 0;
  std::string client_type;
};

}  // namespace parvel::interop
