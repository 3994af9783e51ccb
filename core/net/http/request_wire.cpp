#include "core/net/http/request_wire.hpp"

#include "core/net/http/proxy_leftovers.hpp"

#include <linux/sockios.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/socket.h>

#include <algorithm>
#include <optional>

namespace core::net::http {

namespace {

// Bytes the socket holds: with SIOCOUTQ those the peer has yet to
// acknowledge, with SIOCOUTQNSD those not yet sent; none when not known.
std::optional<std::uint64_t> queued(int socket, unsigned long request) {
  int count = 0;
  if (socket < 0 || ioctl(socket, request, &count) != 0) {
    return std::nullopt;
  }
  return static_cast<std::uint64_t>(std::max(count, 0));
}

// A tunnel's send buffer holds what its pace sends in this long; never less
// than the floor, which a fast link's first round trips need.
constexpr std::chrono::seconds send_buffer_time{1};
constexpr std::uint64_t send_buffer_floor = 64 << 10;

// The port of a socket's own end or of its peer's; -1 when it has none.
int port_of(int socket, bool peer) {
  sockaddr_storage address{};
  socklen_t length = sizeof address;
  auto* raw = reinterpret_cast<sockaddr*>(&address);
  if ((peer ? getpeername(socket, raw, &length) : getsockname(socket, raw, &length)) != 0) {
    return -1;
  }
  switch (address.ss_family) {
    case AF_INET:
      return ntohs(reinterpret_cast<const sockaddr_in&>(address).sin_port);
    case AF_INET6:
      return ntohs(reinterpret_cast<const sockaddr_in6&>(address).sin6_port);
    default:
      return -1;
  }
}

// Which of the sockets opened carries the connection with these ports; the
// newest first, as a descriptor closed since may now be another's.
int connected_socket(const std::vector<int>& opened, int local_port, int peer_port) {
  for (auto socket = opened.rbegin(); socket != opened.rend(); ++socket) {
    if (port_of(*socket, false) == local_port && port_of(*socket, true) == peer_port) {
      return *socket;
    }
  }
  return -1;
}

}  // namespace

request_wire::request_wire(std::uint64_t slowest_proxy_uplink)
    : slowest_proxy_uplink_(slowest_proxy_uplink), backlog_(slowest_proxy_uplink) {}

void request_wire::socket_opened(int socket) {
  opened_.push_back(socket);
}

void request_wire::start(bool with_body) {
  with_body_ = with_body;
  socket_ = -1;
  connected_ = false;
  tunneled_ = false;
  backlog_ = proxy_backlog(slowest_proxy_uplink_);
  drained_ = false;
  left_ = 0;
  moved_ = 0;
  answered_ = false;
  send_buffer_ = 0;
}

void request_wire::connected(int local_port, int peer_port, bool tunnel_made,
                             const std::string& peer_ip) {
  socket_ = connected_socket(opened_, local_port, peer_port);
  if (tunnel_made) {
    tunnel_ports_.push_back(local_port);
  }
  tunneled_ =
      std::find(tunnel_ports_.begin(), tunnel_ports_.end(), local_port) != tunnel_ports_.end();
  connected_ = true;
  connected_at_ = clock::now();
  last_motion_ = connected_at_;
  if (tunneled_ && with_body_) {
    // Bodies of requests that ended early share the uplink with this one.
    proxy_ = peer_ip + ":" + std::to_string(peer_port);
    backlog_ = proxy_backlog(slowest_proxy_uplink_, left_with_proxy(proxy_, connected_at_));
  }
}

// The socket's count of unsent bytes includes the request's head and TLS
// framing, so `left` is an estimate until the socket is empty.
void request_wire::follow(std::uint64_t written, bool request_out, std::uint64_t answer_bytes) {
  if (!connected_) {
    return;
  }
  const std::optional<std::uint64_t> unacknowledged = queued(socket_, SIOCOUTQ);
  drained_ = drained_ || (request_out && unacknowledged.value_or(0) == 0);
  const auto now = clock::now();
  if (with_body_) {
    const std::uint64_t before = left_;
    left_ = std::max(left_, written - std::min(written, unacknowledged.value_or(0)));
    if (tunneled_ && left_ != before) {
      backlog_.taken(now - connected_at_, left_);
      fit_send_buffer(now);
    }
  }
  answered_ = answered_ || answer_bytes > 0;
  const std::uint64_t now_moved = left_ + answer_bytes;
  if (now_moved != moved_) {
    moved_ = now_moved;
    last_motion_ = now;
  }
}

void request_wire::fit_send_buffer(clock::time_point now) {
  const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(now - connected_at_);
  if (elapsed < send_buffer_time) {
    return;
  }
  const std::uint64_t pace_share = left_ / static_cast<std::uint64_t>(elapsed.count()) *
                                   std::chrono::milliseconds(send_buffer_time).count();
  const std::uint64_t wanted = std::clamp<std::uint64_t>(pace_share, send_buffer_floor, 1 << 30);
  if (send_buffer_ == 0) {
    // The kernel's own size, which it reports doubled, until it holds more.
    int size = 0;
    socklen_t length = sizeof size;
    if (getsockopt(socket_, SOL_SOCKET, SO_SNDBUF, &size, &length) != 0 ||
        wanted * 2 >= static_cast<std::uint64_t>(std::max(size, 0))) {
      return;
    }
  } else if (wanted <= send_buffer_ + send_buffer_ / 4 && wanted + wanted / 4 >= send_buffer_) {
    // Set again only when the pace has moved it by more than a quarter.
    return;
  }
  const int size = static_cast<int>(wanted);
  if (setsockopt(socket_, SOL_SOCKET, SO_SNDBUF, &size, sizeof size) == 0) {
    send_buffer_ = wanted;
  }
}

void request_wire::end(std::uint64_t written) {
  if (with_body_) {
    left_ = std::max(left_, written);
  }
}

void request_wire::end_here(std::uint64_t written) {
  if (socket_ >= 0) {
    const linger reset{1, 0};
    setsockopt(socket_, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
  }
  if (!with_body_) {
    return;
  }
  // What was sent may still arrive, acknowledged or not; the rest is dropped.
  left_ = std::max(left_, written - std::min(written, queued(socket_, SIOCOUTQNSD).value_or(0)));
  if (connected_ && tunneled_ && !answered_) {
    // A copy: the waits the request ended on are told as they were.
    proxy_backlog ended = backlog_;
    const auto now = clock::now();
    ended.taken(now - connected_at_, left_);
    leave_with_proxy(proxy_, ended.held_at(now - connected_at_), now, slowest_proxy_uplink_);
  }
}

std::chrono::milliseconds request_wire::proxy_forwarding(clock::time_point at) const {
  if (!tunneled_ || !with_body_) {
    return std::chrono::milliseconds(0);
  }
  return backlog_.forwarding_time(at - connected_at_);
}

}  // namespace core::net::http
