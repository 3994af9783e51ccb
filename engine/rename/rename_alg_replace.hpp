#pragma once

#include "engine/rename/rename_alg.hpp"

namespace parvel {

// "Do Not Change": the stem as it is.
class rename_alg_replace final : public rename_alg {
 public:
  std::string apply(const std::string& stem) override { return stem; }
  void reset() override {}
};

}  // namespace parvel
