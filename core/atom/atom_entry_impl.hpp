#pragma once

#include "core/atom/atom_link_impl.hpp"
#include "core/atom/atom_namespace.hpp"
#include "core/atom/basic_atom_entry.hpp"

namespace core::atom {

// An entry value; the base of the service-protocol entries. Its namespace
// starts as the Atom namespace, so it never reports empty().
class atom_entry_impl : public basic_atom_entry<atom_link_impl> {
 public:
  atom_entry_impl() : basic_atom_entry(atom_namespace_uri) {}

  void clear() override { *this = atom_entry_impl(); }
  bool empty() const override { return fields_empty(); }
};

}  // namespace core::atom
