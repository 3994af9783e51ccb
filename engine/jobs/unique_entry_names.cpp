#include "engine/jobs/unique_entry_names.hpp"

#include <algorithm>

#include "core/utf.hpp"
#include "engine/rename/file_name_length.hpp"
#include "engine/rename/file_name_parts.hpp"

namespace parvel {

namespace {

std::string folded(std::string name) {
  std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : static_cast<char>(c);
  });
  return name;
}

}  // namespace

std::string unique_entry_names::make_unique(const std::string& name) {
  // As the archive writes it: names that differ only in bytes that are not
  // UTF-8 are one name there.
  const file_name_parts parts = split_at_last_dot(core::to_valid_utf8(name));
  std::string fitted = fit_file_name(parts.stem, "", parts.extension);
  const auto [it, inserted] = used_.emplace(folded(fitted), 1);
  if (inserted) {
    return fitted;
  }
  // Ends: the names of n with one count of digits differ in their "(n)".
  for (unsigned& next = it->second;; ++next) {
    std::string candidate =
        fit_file_name(parts.stem, "(" + std::to_string(next) + ")", parts.extension);
    if (used_.emplace(folded(candidate), 1).second) {
      ++next;
      return candidate;
    }
  }
}

}  // namespace parvel
