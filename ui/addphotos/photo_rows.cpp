#include "ui/addphotos/photo_rows.hpp"

#include "engine/photos/package_info.hpp"

namespace parvel {

photo_rows take_photo_rows(const package_info& package) {
  const std::vector<photo_entry> photos = package.photos();
  photo_rows rows;
  rows.reserve(photos.size());
  for (const photo_entry& photo : photos) {
    // A size the set has already read is kept; 0 there means "not read yet".
    rows.push_back({photo.path, photo.size != 0 ? std::optional(photo.size) : std::nullopt});
  }
  return rows;
}

}  // namespace parvel
