#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace parvel {

class package_info;

// One photo as the photo list shows it.
struct photo_row {
  std::string path;                   // UTF-8, as the photo set holds it
  std::optional<std::uint64_t> size;  // empty until read; 0 for a file that cannot be read
};

using photo_rows = std::vector<photo_row>;

// The rows of the photo set as it stands, taken once per change of the set
// so that painting never copies or locks the set. The only place the list
// reads the set's photos.
photo_rows take_photo_rows(const package_info& package);

}  // namespace parvel
