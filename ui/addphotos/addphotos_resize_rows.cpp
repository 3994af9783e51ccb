#include "ui/addphotos/addphotos_resize_rows.hpp"

#include <set>
#include <stdexcept>

#include "ui/controls/basic_list_column.hpp"

namespace parvel {

std::vector<option_row> make_size_rows(const std::vector<photo_resize_option>& options) {
  std::vector<option_row> rows;
  // "Do not change" and "Custom size..." stand without a band.
  std::set<int> seen{resize_keep, resize_custom};
  for (std::size_t i = 0; i < options.size(); ++i) {
    const photo_resize_option& option = options[i];
    const QString text = QString::fromStdU16String(
        option.kind == resize_keep || option.kind == resize_custom ? option.kind_text()
                                                                   : option.size_text());
    if (seen.insert(option.kind).second)
      rows.push_back({list_kind_group, QString::fromStdU16String(option.kind_text()), -1});
    rows.push_back({0, text, static_cast<int>(i)});
  }
  return rows;
}

const photo_resize_option& size_option_at(const std::vector<option_row>& rows,
                                          const std::vector<photo_resize_option>& options,
                                          int row) {
  if (row < 0 || static_cast<std::size_t>(row) >= rows.size())
    throw std::invalid_argument("cannot get resize_option from the list. index is out of range.");
  const option_row& found = rows[static_cast<std::size_t>(row)];
  if (found.option_index < 0)
    throw std::invalid_argument("index points to an invalid option.");
  if (static_cast<std::size_t>(found.option_index) >= options.size())
    throw std::invalid_argument("Option index is out of range.");
  return options[static_cast<std::size_t>(found.option_index)];
}

bool is_current_size(const photo_resize_option& option, const photo_resize_option& current) {
  if (option.kind != current.kind)
    return false;
  return option.kind == resize_custom || option.width == current.width ||
         option.height == current.height;
}

}  // namespace parvel
