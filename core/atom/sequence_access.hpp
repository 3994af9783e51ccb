#pragma once

#include <stdexcept>

namespace core::atom {

// The link or entry at index of a model's sequence; an index past the end
// throws std::invalid_argument and leaves the model unchanged.
template <class Sequence>
auto& link_at(Sequence& links, unsigned index) {
  if (index >= links.size()) {
    throw std::invalid_argument("Cannot get the link. Index is out of range.");
  }
  return links[index];
}

template <class Sequence>
auto& entry_at(Sequence& entries, unsigned index) {
  if (index >= entries.size()) {
    throw std::invalid_argument("Cannot get the entry. Index is out of range.");
  }
  return entries[index];
}

}  // namespace core::atom
