#include "engine/jobs/archive_item.hpp"

#include "core/graphics/image_format.hpp"
#include "engine/jobs/read_as_planned.hpp"
#include "engine/jobs/unique_entry_names.hpp"
#include "engine/options/convert_option_manager.hpp"
#include "engine/options/resize_option_manager.hpp"
#include "engine/photos/safe_file_name.hpp"
#include "engine/rename/file_name_parts.hpp"

namespace parvel {

namespace {

namespace formats = core::graphics::image_formats;

archive_item plan_item(photo_entry& photo, unique_entry_names& names) {
  const std::string name = photo.target_name.empty() ? photo.get_display_name() : photo.target_name;
  // The last-dot rule, as everywhere: ".psd" is a PSD file without a stem.
  file_name_parts parts = split_at_last_dot(name);
  const core::graphics::image_format format =
      core::graphics::image_format_from_extension(parts.extension);
  const photo_convert_option convert = convert_option_manager::instance()->current();
  const photo_resize_option resize = resize_option_manager::instance()->current();

  archive_item item{photo.path, {}, planned_stamp_of(photo.path), std::nullopt};
  if (format != formats::psd && format != formats::raw &&
      (convert.format != convert_keep || resize.kind != resize_keep)) {
    if (convert.format != convert_keep) {
      parts.extension = core::graphics::image_format_default_extension(convert.format);
    }
    item.conversion = photo_conversion{resize, convert.params};
  }
  item.entry_name = names.make_unique(safe_file_name(parts.stem + parts.extension));
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
