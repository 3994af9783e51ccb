#pragma once

#include <cstdint>
#include <string>

#include "tools/service/received_entries.hpp"

namespace service {

// The one line printed for a completed package, such as
//   package from "ann@example.com" to "bob@example.com", "cy@example.com";
//   subject "Trip"; archive "Photos 1.zip" (52311 bytes)
// (on one line). Texts are quoted, with backslash escapes for the quote, the
// backslash and control characters, so the line never breaks.
std::string package_line(const package_entry& package, const std::string& archive_name,
                         std::uint64_t archive_size);

}  // namespace service
