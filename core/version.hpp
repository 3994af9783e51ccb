#pragma once

#include <array>
#include <compare>
#include <cstdint>
#include <string>

namespace core {

// Four signed numbers, ordered field by field as signed values.
struct version {
  std::array<std::int32_t, 4> fields{};

  friend auto operator<=>(const version&, const version&) = default;
};

// Splits text at every "." and ","; each of the first four parts, trimmed,
// must be a whole number and fills its field; missing parts leave their
// fields as they are and parts after the fourth are ignored. Throws
// std::invalid_argument "The version string is empty." and
// boost::bad_lexical_cast for a part that is not a number.
void parse_version_string(const std::string& text, version& out);
// The four fields in decimal joined by ".".
std::string version_to_string(const version& v);

}  // namespace core
