#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "core/net/http/proxy_backlog.hpp"

namespace core::net::http {

// How far one request of a call has gone out on the wire, followed between
// turns of its transfer: the socket it goes out on, whether that is a proxy's
// tunnel, the bytes of its body that have left the socket, and when bytes
// last went out or came in. Through a tunnel a drained socket only means the
// proxy has the bytes: what it may still forward is followed too. One thread.
class request_wire {
 public:
  using clock = std::chrono::steady_clock;

  // slowest_proxy_uplink: see timeouts.
  explicit request_wire(std::uint64_t slowest_proxy_uplink);

  // A socket opened for the call; a later request may reuse its connection.
  void socket_opened(int socket);

  // A request of the call starts; with_body: it sends one.
  void start(bool with_body);

  // The request's connection is made (TLS included), between these ports;
  // tunnel_made: a proxy answered a CONNECT for it (later requests on the
  // same connection are told no more); peer_ip: the proxy's, through one.
  void connected(int local_port, int peer_port, bool tunnel_made, const std::string& peer_ip);

  // After a turn: written, the body bytes handed to the connection so far;
  // request_out, the whole request has been handed; answer_bytes, the bytes
  // of the answer that have arrived.
  void follow(std::uint64_t written, bool request_out, std::uint64_t answer_bytes);

  // The request is over, answered or ended by its peer: what was handed to
  // the connection has left, or no longer matters. A proxy that ended the
  // tunnel itself forwards nothing more of it.
  void end(std::uint64_t written);

  // The program ends the request before it is over (a cancel, its own
  // time-outs): the connection is set to be reset when it closes, so that
  // the kernel drops what it still holds of it rather than sending it, and
  // only what had left counts. Through a tunnel, before any answer, what the
  // proxy may still forward is left with it for the next request through it.
  // Before the connection closes.
  void end_here(std::uint64_t written);

  bool is_connected() const { return connected_; }
  // The socket holds nothing more of the request.
  bool drained() const { return drained_; }
  // The request goes through a proxy's tunnel, which takes a body ahead of
  // its uplink.
  bool tunneled() const { return tunneled_; }
  // Bytes of the body that have left the socket.
  std::uint64_t left() const { return left_; }
  clock::time_point last_motion() const { return last_motion_; }

  // How long after `at` a proxy may still be forwarding the body it took;
  // zero without a tunnel. At most proxy_backlog::longest.
  std::chrono::milliseconds proxy_forwarding(clock::time_point at) const;

 private:
  // Through a tunnel the socket holds no more than its pace sends in a
  // short time: a proxy that takes a body slowly would otherwise leave
  // megabytes in the kernel, out of the program's reach.
  void fit_send_buffer(clock::time_point now);

  std::uint64_t slowest_proxy_uplink_;
  // The sockets opened for the call, and the one the request goes out on:
  // libcurl 7.88 tells its active socket only once a transfer has ended.
  std::vector<int> opened_;
  int socket_ = -1;
  // The local ports of the call's tunnels, which a redirect may reuse.
  std::vector<int> tunnel_ports_;
  bool with_body_ = false;
  bool connected_ = false;
  clock::time_point connected_at_;
  bool tunneled_ = false;
  // The proxy's address, through a tunnel.
  std::string proxy_;
  proxy_backlog backlog_;
  bool drained_ = false;
  std::uint64_t left_ = 0;
  // Bytes that have gone out or come in, and when that last changed.
  std::uint64_t moved_ = 0;
  bool answered_ = false;
  clock::time_point last_motion_;
  // The send buffer last set on a tunnel's socket; 0: the kernel's own.
  std::uint64_t send_buffer_ = 0;
};

}  // namespace core::net::http
