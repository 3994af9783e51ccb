#pragma once

#include <vector>

#include "engine/options/photo_convert_option.hpp"
#include "ui/addphotos/option_row.hpp"

namespace parvel {

// One row per target format, in the manager's order, showing its text.
std::vector<option_row> make_format_rows(const std::vector<photo_convert_option>& options);

// The dot marks the option of the current format; encoder parameters aside.
inline bool is_current_format(const photo_convert_option& option,
                              const photo_convert_option& current) {
  return option.format == current.format;
}

}  // namespace parvel
