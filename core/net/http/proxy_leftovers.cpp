#include "core/net/http/proxy_leftovers.hpp"

#include <algorithm>
#include <map>
#include <mutex>

namespace core::net::http {

namespace {

struct leftover {
  std::uint64_t bytes;
  std::chrono::steady_clock::time_point at;
};

std::mutex mutex;
std::map<std::string, leftover> leftovers;

std::uint64_t held_at(const leftover& left, std::chrono::steady_clock::time_point at,
                      std::uint64_t slowest_uplink) {
  if (at <= left.at) {
    return left.bytes;
  }
  // As proxy_backlog counts: a byte's time is one tick at least.
  const auto per_byte = std::max(
      std::chrono::steady_clock::duration(std::chrono::seconds(1)) /
          static_cast<std::chrono::steady_clock::rep>(std::max<std::uint64_t>(slowest_uplink, 1)),
      std::chrono::steady_clock::duration(1));
  const auto forwarded = static_cast<std::uint64_t>((at - left.at) / per_byte);
  return forwarded >= left.bytes ? 0 : left.bytes - forwarded;
}

}  // namespace

void leave_with_proxy(const std::string& proxy, std::uint64_t bytes,
                      std::chrono::steady_clock::time_point at, std::uint64_t slowest_uplink) {
  const std::lock_guard lock(mutex);
  const auto [kept, added] = leftovers.try_emplace(proxy, leftover{bytes, at});
  if (!added && bytes >= held_at(kept->second, at, slowest_uplink)) {
    kept->second = leftover{bytes, at};
  }
}

std::uint64_t left_with_proxy(const std::string& proxy, std::chrono::steady_clock::time_point at,
                              std::uint64_t slowest_uplink) {
  const std::lock_guard lock(mutex);
  const auto kept = leftovers.find(proxy);
  if (kept == leftovers.end()) {
    return 0;
  }
  const std::uint64_t held = held_at(kept->second, at, slowest_uplink);
  if (held == 0) {
    leftovers.erase(kept);
  }
  return held;
}

}  // namespace core::net::http
