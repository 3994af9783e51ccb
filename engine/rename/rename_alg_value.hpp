#pragma once

#include "engine/rename/rename_alg.hpp"

namespace parvel {

// A fixed text in place of the stem (empty text included).
class rename_alg_value final : public rename_alg {
 public:
  explicit rename_alg_value(std::string value) : value_(std::move(value)) {}
  std::string apply(const std::string&) override { return value_; }
  void reset() override {}

 private:
  std::string value_;
};

}  // namespace parvel
