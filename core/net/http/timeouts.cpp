#include "core/net/http/timeouts.hpp"

#include <mutex>

namespace core::net::http {

namespace {

std::mutex mutex;
timeouts current;

}  // namespace

timeouts default_timeouts() {
  const std::lock_guard lock(mutex);
  return current;
}

void set_default_timeouts(const timeouts& values) {
  const std::lock_guard lock(mutex);
  current = values;
}

}  // namespace core::net::http
