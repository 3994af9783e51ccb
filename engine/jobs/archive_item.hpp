#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/graphics/gdip/batch/gdiplus_batch_params.hpp"
#include "engine/options/photo_resize_option.hpp"
#include "engine/photos/file_stamp.hpp"
#include "engine/photos/photo_entry.hpp"

namespace parvel {

class unique_entry_names;

// How a photo is converted: resized when the option's kind is not 0, then
// encoded in the format of its entry name's extension with the parameters.
struct photo_conversion {
  photo_resize_option resize;
  core::graphics::gdip::batch::gdiplus_batch_params params;
};

// What one photo of the set becomes in the archive.
struct archive_item {
  std::string path;
  // Unique within the archive.
  std::string entry_name;
  // The source as planned, its size included: it must stand so until its
  // reading has ended.
  file_stamp planned;
  // Empty for a photo stored unchanged.
  std::optional<photo_conversion> conversion;
};

// The items of the photos, in their order, by the current convert and resize
// options: PSD and camera RAW files, and every photo when neither a format
// nor a resize is chosen, go in unchanged; a chosen format replaces the
// extension. Names come from names in photo order.
std::vector<archive_item> plan_archive_items(std::vector<photo_entry>& photos,
                                             unique_entry_names& names);

}  // namespace parvel
