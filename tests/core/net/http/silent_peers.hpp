#pragma once

#include "core/scoped_handle.hpp"

namespace http_test {

// A port of 127.0.0.1 held for the test: bound but not listening, so a
// connection to it is refused and no other process can take the port meanwhile.
class refused_port {
 public:
  refused_port();
  unsigned short port() const { return port_; }

 private:
  core::scoped_handle socket_;
  unsigned short port_ = 0;
};

// A listening socket of 127.0.0.1 that never accepts. With its backlog open,
// the kernel completes a caller's TCP handshake and the caller then hears
// nothing; with its backlog full, a caller's handshake itself never completes.
class silent_listener {
 public:
  enum class backlog { open, full };

  explicit silent_listener(backlog state);
  unsigned short port() const { return port_; }

  // Whether a caller is waiting on the port: connected into the open
  // backlog, or still sending its handshake to the full one.
  bool has_caller() const;

 private:
  backlog state_;
  core::scoped_handle listener_;
  // Occupies the only place of the full backlog.
  core::scoped_handle filler_;
  unsigned short port_ = 0;
};

}  // namespace http_test
