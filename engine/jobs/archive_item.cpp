#include "engine/jobs/archive_item.hpp"

#include <filesystem>

#include "core/graphics/image_format.hpp"
#include "engine/jobs/unique_entry_names.hpp"
#include "engine/options/convert_option_manager.hpp"
#include "engine/options/resize_option_manager.hpp"
#include "engine/photos/safe_file_name.hpp"

namespace parvel {

namespace {

namespace formats = core::graphics::image_formats;

archive_item plan_item(photo_entry& photo, unique_entry_names& names) {
  std::filesystem::path name_path = photo.path;
  if (!photo.target_name.empty()) {
    name_path.replace_filename(photo.target_name);
  }
  const core::graphics::image_format format =
      core::graphics::image_format_from_extension(name_path.extension().string());
  const photo_convert_option convert = convert_option_manager::instance()->current();
  const photo_resize_option resize = resize_option_manager::instance()->current();

  archive_item item{photo.path, {}, photo.file_size(), std::nullopt};
  if (format != formats::psd && format != formats::raw &&
      (convert.format != 0 || resize.kind != 0)) {
    if (convert.format != 0) {
      name_path.replace_extension(core::graphics::image_format_default_extension(convert.format));
    }
    item.conversion = photo_conversion{resize, convert.params};
  }
  item.entry_name = names.make_unique(safe_file_name(name_path.filename().string()));
  return item;
}

}  // namespace

std::vector<archive_item> plan_archive_items(std::vector<photo_entry>& photos,
                                             unique_entry_names& names) {
  std::vector<archive_item> items;
  items.reserve(photos.size());
  for (photo_entry& photo : photos) {
    items.push_back(plan_item(photo, names));
  }
  return items;
}

}  // namespace parvel
