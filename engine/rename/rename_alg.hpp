#pragma once

#include <memory>
#include <string>

namespace parvel {

// A renaming strategy: turns a photo's file stem into the stem it gets in the
// archive. Strategies are shared, never copied; callers that need numbering
// from the start call reset() first. No lock: the photo set serialises use.
class rename_alg {
 public:
  virtual ~rename_alg() = default;
  // May advance the strategy's own state (a counter moves on).
  virtual std::string apply(const std::string& stem) = 0;
  virtual void reset() = 0;

  // The strategy's apply; no strategy keeps the stem, as a set without one
  // keeps every file's own name.
  static std::string invoke(const std::shared_ptr<rename_alg>& strategy, const std::string& stem) {
    return strategy ? strategy->apply(stem) : stem;
  }
};

}  // namespace parvel
