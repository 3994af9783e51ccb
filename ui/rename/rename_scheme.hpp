#pragma once

#include <memory>
#include <optional>
#include <vector>

namespace parvel {

class package_info;
class rename_alg;

// The Filename unit's items, by index.
inline constexpr unsigned filename_item_text = 0;
inline constexpr unsigned filename_item_counter = 1;
inline constexpr unsigned filename_item_do_not_change = 2;

// Scheme 1 "Prefix & Suffix" keeps the name, scheme 2 "Sequence Numbers"
// counts; any other scheme leaves the Filename unit as it is.
std::optional<unsigned> filename_item_of_scheme(int scheme);
// The scheme list's entry 0 is scheme 1, entry 1 scheme 2; others show entry 0.
int scheme_of_list_entry(int entry);
int list_entry_of_scheme(int scheme);

// The units' strategies joined left to right: add(add(prefix, filename),
// suffix). No parts, no strategy.
std::shared_ptr<rename_alg> chain_rename_algs(
    const std::vector<std::shared_ptr<rename_alg>>& parts);

// Puts the scheme in the photo set and tells its windows. A send renaming
// at the same moment finishes with the scheme it started with: the set
// renames under its lock.
void store_rename_scheme(package_info& photos, std::shared_ptr<rename_alg> scheme);

}  // namespace parvel
