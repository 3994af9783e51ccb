#pragma once

#include <string>

#include "core/atom/atom_entry_impl.hpp"
#include "engine/interop/interop_namespace.hpp"

namespace parvel::interop {

// The base of the service's entries: an Atom entry whose category names its
// kind, plus the namespace of the service's extension elements.
class command : public core::atom::atom_entry_impl {
 public:
  std::string extension_namespace = extension_namespace_uri;

 protected:
  explicit command(const char* term) {
    set_category_scheme(kind_scheme);
    set_category_term(term);
  }
};

}  // namespace parvel::interop
