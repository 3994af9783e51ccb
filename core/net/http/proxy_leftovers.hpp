#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace core::net::http {

// What each proxy may still hold of the bodies of requests that ended before
// their answer, canceled or failed: it forwards them on the uplink a later
// request through it shares. Process-wide; any thread. A proxy is named by
// its address, "ip:port".

// A request through `proxy` ended at `at` while the proxy may still hold
// `bytes` of bodies: its own and what the proxy held from before when it
// started, so the larger of those and what is kept counts, not their sum.
// The proxy forwards at least `slowest_uplink` bytes a second (1 or more).
void leave_with_proxy(const std::string& proxy, std::uint64_t bytes,
                      std::chrono::steady_clock::time_point at, std::uint64_t slowest_uplink);

// What the proxy may still hold of those at `at`.
std::uint64_t left_with_proxy(const std::string& proxy, std::chrono::steady_clock::time_point at);

}  // namespace core::net::http
