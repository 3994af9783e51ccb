#pragma once

#include <map>
#include <string>
#include <vector>

namespace parvel {

class rename_alg;

// Sample file name (UTF-8) to its new name, in sorted order.
using preview_rows = std::map<std::string, std::string>;

// The first two of the photos' file names, or two sample names when there
// are none; equal names make one row. Results start empty.
preview_rows make_preview_rows(const std::vector<std::string>& photo_names);

// Numbers the rows from the strategy's start, in sorted order, each result
// the name the archive stores: made safe the way the engine makes entry
// names. No strategy keeps every name.
void refresh_preview(preview_rows& rows, rename_alg* strategy);

}  // namespace parvel
