#pragma once

#include <cstdint>

#include "engine/rename/rename_alg.hpp"

namespace parvel {

// The running number, zero-filled to `digits`; a wider number is written whole.
// Advancing past 2^32 - 1 wraps.
class rename_alg_counter final : public rename_alg {
 public:
  rename_alg_counter(std::uint32_t init_value, std::uint32_t digits, std::int32_t step = 1)
      : current_(init_value), init_value_(init_value), step_(step), digits_(digits) {}

  std::string apply(const std::string& stem) override;
  void reset() override { current_ = init_value_; }

 private:
  std::uint32_t current_;
  std::uint32_t init_value_;
  std::int32_t step_;
  std::uint32_t digits_;
};

}  // namespace parvel
