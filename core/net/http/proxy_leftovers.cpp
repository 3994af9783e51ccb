#include "core/net/http/proxy_leftovers.hpp"

#include <algorithm>
#include <map>
#include <mutex>

#include "core/net/http/proxy_backlog.hpp"

namespace core::net::http {

namespace {

// What a proxy held when a request through it ended, and when.
struct leftover {
  proxy_backlog held;
  std::chrono::steady_clock::time_point at;
};

std::mutex mutex;
std::map<std::string, leftover> leftovers;

std::uint64_t held_at(const leftover& left, std::chrono::steady_clock::time_point at) {
  return left.held.held_at(std::max(at, left.at) - left.at);
}

}  // namespace

void leave_with_proxy(const std::string& proxy, std::uint64_t bytes,
                      std::chrono::steady_clock::time_point at, std::uint64_t slowest_uplink) {
  const std::lock_guard lock(mutex);
  const leftover ended{proxy_backlog(slowest_uplink, bytes), at};
  const auto [kept, added] = leftovers.try_emplace(proxy, ended);
  if (!added && bytes >= held_at(kept->second, at)) {
    kept->second = ended;
  }
}

std::uint64_t left_with_proxy(const std::string& proxy, std::chrono::steady_clock::time_point at) {
  const std::lock_guard lock(mutex);
  const auto kept = leftovers.find(proxy);
  if (kept == leftovers.end()) {
    return 0;
  }
  const std::uint64_t held = held_at(kept->second, at);
  if (held == 0) {
    leftovers.erase(kept);
  }
  return held;
}

}  // namespace core::net::http
