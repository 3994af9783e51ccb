#pragma once

#include <functional>
#include <string>

namespace parvel {

// Today's local calendar date as "2026-12-05": archive names and the package
// counter restart with it. Any thread.
std::string today_iso_date();

// Replaces the calendar behind today_iso_date (tests fix the date, so a run
// across midnight sees one day); an empty source restores the calendar.
void set_today_source(std::function<std::string()> source);

}  // namespace parvel
