#include "engine/photos/photo_entry.hpp"

#include <filesystem>

#include "core/utf.hpp"
#include "engine/photos/safe_file_name.hpp"
#include "engine/rename/file_name_parts.hpp"

namespace parvel {

std::uint64_t photo_entry::file_size() {
  if (size == 0) {
    std::error_code error;
    if (std::filesystem::is_regular_file(path, error)) {
      const auto bytes = std::filesystem::file_size(path, error);
      size = error ? 0 : bytes;
    }
  }
  return size;
}

const std::string& photo_entry::get_display_name() {
  if (display_name.empty()) {
    display_name = core::to_valid_utf8(std::filesystem::path(path).filename().string());
  }
  return display_name;
}

void photo_entry::rename(rename_alg& alg) {
  target_name = safe_file_name(parvel::target_name(alg, get_display_name()));
}

}  // namespace parvel
