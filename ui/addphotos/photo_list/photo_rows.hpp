#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace parvel {

class package_info;

// One photo as the photo list shows it.
struct photo_row {
  std::string path;    // UTF-8, as the photo set holds it
  std::uint64_t size;  // 0 for a file that cannot be read
};

using photo_rows = std::vector<photo_row>;

// The rows of the photo set as it stands, taken once per change of the set
// so that painting never copies or locks the set; each size is read once and
// kept by the set. The only place the list reads the set's photos.
photo_rows take_photo_rows(package_info& package);

}  // namespace parvel
