#pragma once

#include <exception>

#include "core/graphics/gdip/status.hpp"

namespace core::graphics::gdip::detail {

// A failed imaging step with its status; each caller reports it under its own
// message. error is the errno value of the failed system call behind the
// status, 0 when there is none.
class status_failure : public std::exception {
 public:
  explicit status_failure(gdip::status s, int error = 0) noexcept : status_(s), error_(error) {}

  const char* what() const noexcept override { return "imaging step failed"; }
  gdip::status status() const noexcept { return status_; }
  int error() const noexcept { return error_; }

 private:
  gdip::status status_;
  int error_;
};

}  // namespace core::graphics::gdip::detail
