#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace parvel {

// What the program keeps of the user between runs, in "parvel.config".
struct user_config {
  user_config();  // today's date, nothing else

  std::string email;
  std::vector<std::string> contacts;
  std::string date;  // "2026-12-05"
  std::int32_t value = 0;

  // The package counter restarts every day: a date other than today gives
  // today and 0.
  void set_package(const std::string& stored_date, std::int32_t stored_value);

  // Reads the file, contacts sorted byte-wise; a missing file gives the
  // defaults, a damaged one what was read before the damage and a log line,
  // one that cannot be read the defaults and a log line with the cause.
  // Never throws.
  static user_config load();
};

// Writes the file through a temporary file and a rename, creating its folder;
// a symbolic link stays a link and the file keeps its mode. A failure is
// logged and leaves the old file as it was. A file that load found but could
// not read in this run is never written over: the record lacks what it holds.
// One it read only in part is first moved aside to "parvel.config.unreadable".
// Never throws.
void save_config(const user_config& record);

// "<local application data>/Lumbrel Send Photo/parvel.config".
std::string config_path();

}  // namespace parvel
