#pragma once

#include <chrono>
#include <cstdint>

namespace core::net::http {

// How long an exchange waits. Every exchange reads the process-wide values
// when it starts, so tests can shorten them for the clients that jobs create.
struct timeouts {
  // Reaching the server, TLS handshake included.
  std::chrono::milliseconds connect{60000};
  // A request whose bytes neither leave the machine nor come in for this
  // long, once connected, ends; through a proxy's tunnel, for this long
  // beyond the time the proxy may still be forwarding what it took.
  std::chrono::milliseconds stall{30000};
  // The whole answer, from the peer's taking the request's last byte to the
  // answer's last, of a request held to a deadline (answer_wait::deadline):
  // an answer that trickles in ends here, as one that stalls does.
  std::chrono::milliseconds answer{30000};
  // The least wait for the answer to a request body sent through a proxy's
  // tunnel, counted from the proxy's taking its last byte: the proxy may
  // still be forwarding it, unseen. As long as browsers wait for an answer.
  std::chrono::milliseconds proxied_answer{300000};
  // The slowest uplink a proxy is allowed, in bytes a second (32 kbit/s, a
  // poor mobile link): through its tunnel neither a body's silence nor the
  // answer's wait ends the request while the proxy may still be forwarding
  // what it took at this pace. What it took bounds that time.
  std::uint64_t slowest_proxy_uplink = 4000;
};

timeouts default_timeouts();
void set_default_timeouts(const timeouts& values);

}  // namespace core::net::http
