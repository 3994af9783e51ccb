#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

namespace core::net::http {

// What a proxy may still hold of a request body once it has taken the last
// byte. The client sees its socket drain into the proxy, not the proxy's
// uplink: while the proxy's buffers fill it takes bytes as fast as the local
// network carries them, once they are full only as fast as its uplink
// forwards them, and the drain then follows the uplink.
class proxy_backlog {
 public:
  using duration = std::chrono::steady_clock::duration;

  // The proxy has taken `bytes` of the body in all, `since` the request
  // started; calls come in time order with growing counts. Memory stays
  // bounded however long the drain: older samples thin out.
  void taken(duration since, std::uint64_t bytes);

  // How long the proxy may still be forwarding after the last byte taken:
  // the bytes it took beyond the pace of the drain's slowest final stretch,
  // at that pace. Nullopt when no such stretch of a second or more was seen
  // (the proxy took everything at once, so nothing tells its uplink's pace).
  std::optional<std::chrono::milliseconds> forwarding_time() const;

 private:
  struct sample {
    duration since;
    std::uint64_t bytes;
  };

  // Samples closer than spacing_ to the one before replace the newest, so the
  // newest is always the latest drain.
  std::vector<sample> samples_;
  duration spacing_ = std::chrono::milliseconds(50);
};

}  // namespace core::net::http
