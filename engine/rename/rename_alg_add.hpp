#pragma once

#include <memory>

#include "engine/rename/rename_alg.hpp"

namespace parvel {

// Both parts computed from the same stem, first's text then second's. A chain
// of Prefix, Filename and Suffix is add(add(prefix, filename), suffix).
// An empty part contributes nothing.
class rename_alg_add final : public rename_alg {
 public:
  rename_alg_add(std::shared_ptr<rename_alg> first, std::shared_ptr<rename_alg> second)
      : first_(std::move(first)), second_(std::move(second)) {}

  std::string apply(const std::string& stem) override;
  void reset() override;

 private:
  std::shared_ptr<rename_alg> first_;
  std::shared_ptr<rename_alg> second_;
};

}  // namespace parvel
