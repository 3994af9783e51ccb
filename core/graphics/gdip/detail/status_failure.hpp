#pragma once

#include <exception>
#include <string>

#include "core/graphics/gdip/status.hpp"

namespace core::graphics::gdip::detail {

// A failed imaging step with its status; each caller reports it under its own
// message. error is the errno value of the failed system call behind the
// status, 0 when there is none.
class status_failure : public std::exception {
 public:
  explicit status_failure(gdip::status s, int error = 0) noexcept : status_(s), error_(error) {}
  status_failure(gdip::status s, std::string reason) : status_(s), reason_(std::move(reason)) {}

  const char* what() const noexcept override { return "imaging step failed"; }
  gdip::status status() const noexcept { return status_; }
  int error() const noexcept { return error_; }
  const std::string& reason() const noexcept { return reason_; }

 private:
  gdip::status status_;
  int error_ = 0;
  std::string reason_;
};

}  // namespace core::graphics::gdip::detail
