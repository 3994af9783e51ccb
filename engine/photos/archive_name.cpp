#include "engine/photos/archive_name.hpp"

#include <algorithm>
#include <charconv>

#include "engine/photos/safe_file_name.hpp"

namespace parvel {

namespace {

constexpr std::string_view extension = ".zip";
// "-yyyy-mm-dd"
constexpr std::size_t dated = 11;

bool is_digits(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool ends_in_date(std::string_view text) {
  if (text.size() < dated) {
    return false;
  }
  const std::string_view date = text.substr(text.size() - dated);
  return date[0] == '-' && is_digits(date.substr(1, 4)) && date[5] == '-' &&
         is_digits(date.substr(6, 2)) && date[8] == '-' && is_digits(date.substr(9, 2));
}

// What std::to_string gives for some 32-bit value: no plus sign, no leading
// zeros, no "-0", nothing out of range.
bool is_counter_text(std::string_view text) {
  std::int32_t value = 0;
  const char* const end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  return error == std::errc{} && stop == end && std::to_string(value) == text;
}

}  // namespace

std::string archive_name_for(const std::string& sender, const std::string& date,
                             std::int32_t counter) {
  const std::size_t at = sender.find('@');
  const std::string local_part = at == std::string::npos ? "unknown" : sender.substr(0, at);
  return safe_file_name(local_part + "-" + date + "-" + std::to_string(counter) +
                        std::string(extension));
}

bool is_archive_name(std::string_view name) {
  if (!name.ends_with(extension)) {
    return false;
  }
  std::string_view stem = name.substr(0, name.size() - extension.size());
  std::size_t hyphen = stem.find_last_not_of("0123456789");
  if (hyphen == std::string_view::npos || stem[hyphen] != '-') {
    return false;
  }
  // A second hyphen is the sign of a negative counter.
  if (hyphen > 0 && stem[hyphen - 1] == '-') {
    --hyphen;
  }
  if (!is_counter_text(stem.substr(hyphen + 1))) {
    return false;
  }
  stem = stem.substr(0, hyphen);
  if (!ends_in_date(stem)) {
    return false;
  }
  // The local part holds no "@", and the whole name is already safe.
  const std::string_view local_part = stem.substr(0, stem.size() - dated);
  return local_part.find('@') == std::string_view::npos &&
         safe_file_name(std::string(name)) == name;
}

}  // namespace parvel
