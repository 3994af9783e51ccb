#include "core/atom/atom_link_impl.hpp"

namespace core::atom {

bool atom_link_impl::empty() const {
  return href_.empty() && rel_.empty() && type_.empty() && hreflang_.empty() && title_.empty() &&
         length_ == 0;
}

}  // namespace core::atom
