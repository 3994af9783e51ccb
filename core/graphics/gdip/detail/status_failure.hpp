#pragma once

#include <exception>

#include "core/graphics/gdip/status.hpp"

namespace core::graphics::gdip::detail {

// A failed imaging step with its status; each caller reports it under its own
// message.
class status_failure : public std::exception {
 public:
  explicit status_failure(gdip::status s) noexcept : status_(s) {}

  const char* what() const noexcept override { return "imaging step failed"; }
  gdip::status status() const noexcept { return status_; }

 private:
  gdip::status status_;
};

}  // namespace core::graphics::gdip::detail
