#include "ui/rename/rename_scheme.hpp"

#include "engine/photos/package_info.hpp"
#include "engine/rename/rename_alg_add.hpp"

namespace parvel {

std::optional<unsigned> filename_item_of_scheme(int scheme) {
  switch (scheme) {
    case 1:
      return filename_item_do_not_change;
    case 2:
      return filename_item_counter;
    default:
      return std::nullopt;
  }
}

int scheme_of_list_entry(int entry) {
  return entry == 1 ? 2 : 1;
}

int list_entry_of_scheme(int scheme) {
  return scheme == 2 ? 1 : 0;
}

std::shared_ptr<rename_alg> chain_rename_algs(
    const std::vector<std::shared_ptr<rename_alg>>& parts) {
  if (parts.empty())
    return nullptr;
  std::shared_ptr<rename_alg> chain = parts.front();
  for (std::size_t i = 1; i < parts.size(); ++i)
    chain = std::make_shared<rename_alg_add>(chain, parts[i]);
  return chain;
}

void store_rename_scheme(package_info& photos, std::shared_ptr<rename_alg> scheme) {
  photos.set_rename_alg(std::move(scheme));
  photos.signal_rename_changed();
}

}  // namespace parvel
