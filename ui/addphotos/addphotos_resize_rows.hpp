#pragma once

#include <vector>

#include "engine/options/photo_resize_option.hpp"
#include "ui/addphotos/option_row.hpp"

namespace parvel {

// The size list's rows: "Do not change", "Custom size...", then each
// further kind's band ("HD", "Wide", "Monitor") above its sizes. A kind
// that comes again after another gets no second band.
std::vector<option_row> make_size_rows(const std::vector<photo_resize_option>& options);

// The option behind a row. Throws std::invalid_argument "cannot get
// resize_option from the list. index is out of range." for a row outside
// the list, "index points to an invalid option." for a band, and "Option
// index is out of range." for an option the manager lacks.
const photo_resize_option& size_option_at(const std::vector<option_row>& rows,
                                          const std::vector<photo_resize_option>& options, int row);

// Whether the row's option gets the dot: of the current kind, and for a
// preset also of the current width or the current height (no two presets
// of a kind share either); custom size whatever was typed.
bool is_current_size(const photo_resize_option& option, const photo_resize_option& current);

inline bool same_size_option(const photo_resize_option& a, const photo_resize_option& b) {
  return a.kind == b.kind && a.width == b.width && a.height == b.height;
}

}  // namespace parvel
