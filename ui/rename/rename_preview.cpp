#include "ui/rename/rename_preview.hpp"

#include "engine/photos/photo_entry.hpp"
#include "engine/rename/rename_alg.hpp"

namespace parvel {

preview_rows make_preview_rows(const std::vector<std::string>& photo_names) {
  preview_rows rows;
  if (photo_names.empty()) {
    rows.emplace("test_image_a.jpg", std::string());
    rows.emplace("test_image_b.tiff", std::string());
    return rows;
  }
  for (std::size_t i = 0; i < photo_names.size() && i < 2; ++i)
    rows.emplace(photo_names[i], std::string());
  return rows;
}

void refresh_preview(preview_rows& rows, rename_alg* strategy) {
  if (strategy != nullptr)
    strategy->reset();
  for (auto& [name, result] : rows) {
    if (strategy == nullptr) {
      result = name;
      continue;
    }
    // The same renaming a send applies to its photos.
    photo_entry entry;
    entry.display_name = name;
    entry.rename(*strategy);
    result = entry.target_name;
  }
}

}  // namespace parvel
