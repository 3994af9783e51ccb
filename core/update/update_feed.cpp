#include "core/update/update_feed.hpp"

#include <algorithm>

#include "core/atom/sequence_access.hpp"

namespace core::update {

bool update_feed::empty() const {
  const auto all_empty = [](const auto& items) {
    return std::all_of(items.begin(), items.end(), [](const auto& item) { return item.empty(); });
  };
  return namespace_uri_.empty() && title_type_.empty() && title_.empty() &&
         subtitle_type_.empty() && subtitle_.empty() && id_.empty() && updated_.empty() &&
         author_.empty() && all_empty(links_) && all_empty(entries_) &&
         update_namespace_uri_.empty();
}

void update_feed::set_author(const atom::atom_author& value) {
  author_.set_name(value.name());
  author_.set_email(value.email());
  author_.set_uri(value.uri());
}

atom::atom_link& update_feed::link(unsigned index) {
  return atom::link_at(links_, index);
}

const atom::atom_link& update_feed::link(unsigned index) const {
  return atom::link_at(links_, index);
}

atom::atom_entry& update_feed::entry(unsigned index) {
  return atom::entry_at(entries_, index);
}

const atom::atom_entry& update_feed::entry(unsigned index) const {
  return atom::entry_at(entries_, index);
}

update_link& update_feed::link_value(unsigned index) {
  return atom::link_at(links_, index);
}

const update_link& update_feed::link_value(unsigned index) const {
  return atom::link_at(links_, index);
}

update_entry& update_feed::entry_value(unsigned index) {
  return atom::entry_at(entries_, index);
}

const update_entry& update_feed::entry_value(unsigned index) const {
  return atom::entry_at(entries_, index);
}

}  // namespace core::update
