#include "ui/addphotos/addphotos_convert_rows.hpp"

namespace parvel {

std::vector<option_row> make_format_rows(const std::vector<photo_convert_option>& options) {
  std::vector<option_row> rows;
  for (std::size_t i = 0; i < options.size(); ++i)
    rows.push_back({0, QString::fromStdU16String(options[i].text()), static_cast<int>(i)});
  return rows;
}

}  // namespace parvel
