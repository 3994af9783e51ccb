#pragma once

#include <string>

namespace core::log {

struct record {
  int severity;
  std::string message;
};

}  // namespace core::log
