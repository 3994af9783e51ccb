#pragma once

#include <string>

namespace parvel {

// Today's local calendar date as "2026-12-05": archive names and the package
// counter restart with it.
std::string today_iso_date();

}  // namespace parvel
