#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace parvel {

// "<the sender's text before its first "@">-<date>-<counter>.zip", made safe
// as one file name; "unknown" stands for a sender without "@". The counter is
// written in decimal as it stands, so a negative one from the config file
// gives "photos-2026-12-05--5.zip": the date ends in a digit, so the second
// hyphen can only be the sign and no two counters share a name.
std::string archive_name_for(const std::string& sender, const std::string& date,
                             std::int32_t counter);

// Whether archive_name_for gives name for some sender, some date of the form
// "2026-12-05" and some counter: the start-up clean-up removes exactly these.
bool is_archive_name(std::string_view name);

}  // namespace parvel
