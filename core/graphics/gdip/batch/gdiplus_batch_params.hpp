#pragma once

#include "core/key_value_params.hpp"

namespace core::graphics::gdip::batch {

// Parameters of an imaging chain: the JPEG quality under "quality", as text.
class gdiplus_batch_params : public key_value_params {
 public:
  void set_quality(int quality);
  // Throws std::invalid_argument "No key found in the collection." without one.
  int get_quality() const;
  bool has_quality() const;
};

}  // namespace core::graphics::gdip::batch
