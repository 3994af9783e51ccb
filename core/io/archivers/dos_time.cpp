#include "core/io/archivers/dos_time.hpp"

namespace core::io::archivers {

namespace {

constexpr int first_year = 1980;
constexpr int last_year = first_year + 127;

constexpr dos_date_time earliest{1 << 5 | 1, 0};
constexpr dos_date_time latest{127 << 9 | 12 << 5 | 31, 23 << 11 | 59 << 5 | 29};

}  // namespace

dos_date_time to_dos_date_time(std::time_t time) {
  if (time % 2 != 0) {
    ++time;
  }
  std::tm local{};
  if (::localtime_r(&time, &local) == nullptr) {
    return time < 0 ? earliest : latest;
  }
  const int year = local.tm_year + 1900;
  if (year < first_year) {
    return earliest;
  }
  if (year > last_year) {
    return latest;
  }
  return {static_cast<std::uint16_t>((year - first_year) << 9 | (local.tm_mon + 1) << 5 |
                                     local.tm_mday),
          static_cast<std::uint16_t>(local.tm_hour << 11 | local.tm_min << 5 | local.tm_sec / 2)};
}

std::time_t from_dos_date_time(std::uint16_t date, std::uint16_t time) {
  std::tm local{};
  local.tm_year = (date >> 9) + first_year - 1900;
  local.tm_mon = ((date >> 5) & 0x0F) - 1;
  local.tm_mday = date & 0x1F;
  local.tm_hour = time >> 11;
  local.tm_min = (time >> 5) & 0x3F;
  local.tm_sec = (time & 0x1F) * 2;
  local.tm_isdst = -1;
  return std::mktime(&local);
}

}  // namespace core::io::archivers
