#include "ui/addphotos/photo_list/photo_rows.hpp"

#include "engine/photos/package_info.hpp"

namespace parvel {

photo_rows take_photo_rows(package_info& package) {
  const std::vector<photo_entry> photos = package.photos_with_sizes();
  photo_rows rows;
  rows.reserve(photos.size());
  for (const photo_entry& photo : photos) {
    rows.push_back({photo.path, photo.size});
  }
  return rows;
}

}  // namespace parvel
