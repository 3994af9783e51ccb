#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace service {

// A forward proxy on 127.0.0.1 that opens CONNECT tunnels, standing for one
// on a fast local network in front of a slow uplink: it takes what a client
// sends into a tunnel at once, up to `held` bytes not yet forwarded, and
// forwards it to the server at `rate` bytes a second, which all its tunnels
// share, a closed one's held bytes too; the server's bytes go back at once.
// Any other request is refused. It serves on a thread of its own until
// destruction.
class tunnel_proxy {
 public:
  struct options {
    std::uint64_t rate = 1 << 20;
    // nullopt: all the client sends, at once.
    std::optional<std::uint64_t> held;
    // With held: once full, it takes nothing more until it has forwarded all
    // it holds, so its reads pause for as long as its uplink needs for that.
    bool bursts = false;
    // The first tunnel ended by the proxy itself once it has taken this many
    // of the client's bytes, dropping what it holds: closed, or reset.
    std::optional<std::uint64_t> end_first_after;
    bool end_with_reset = false;
  };

  // Throws std::runtime_error when it cannot listen.
  explicit tunnel_proxy(const options& settings);
  ~tunnel_proxy();
  tunnel_proxy(const tunnel_proxy&) = delete;
  tunnel_proxy& operator=(const tunnel_proxy&) = delete;

  // "http://127.0.0.1:<port>", as proxy settings name it.
  std::string url() const;
  // Tunnels opened so far. Any thread.
  std::size_t tunnels() const;

 private:
  class impl;
  std::unique_ptr<impl> impl_;
};

}  // namespace service
