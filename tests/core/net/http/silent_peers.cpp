#include "tests/core/net/http/silent_peers.hpp"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <system_error>

namespace http_test {

namespace {

sockaddr_in loopback(unsigned short port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(port);
  return address;
}

[[noreturn]] void fail(const char* what) {
  throw std::system_error(errno, std::generic_category(), what);
}

core::scoped_handle bound_socket() {
  core::scoped_handle socket(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  const sockaddr_in address = loopback(0);
  // Without SO_REUSEADDR no other socket can bind the port while this one holds it.
  if (!socket ||
      ::bind(socket.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    fail("bind");
  }
  return socket;
}

unsigned short port_of(const core::scoped_handle& socket) {
  sockaddr_in address{};
  socklen_t length = sizeof address;
  if (::getsockname(socket.get(), reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    fail("getsockname");
  }
  return ntohs(address.sin_port);
}

// Whether a socket of this machine is sending a TCP handshake to the port of
// 127.0.0.1 (state SYN_SENT in the kernel's table).
bool handshake_under_way(unsigned short port) {
  char remote[32];
  std::snprintf(remote, sizeof remote, "0100007F:%04X", port);
  std::ifstream table("/proc/net/tcp");
  std::string line;
  std::getline(table, line);  // the column names
  while (std::getline(table, line)) {
    std::istringstream fields(line);
    std::string slot, local, peer, state;
    fields >> slot >> local >> peer >> state;
    if (peer == remote && state == "02") {
      return true;
    }
  }
  return false;
}

}  // namespace

refused_port::refused_port() : socket_(bound_socket()), port_(port_of(socket_)) {}

silent_listener::silent_listener(backlog state) : state_(state), listener_(bound_socket()) {
  // Backlog 0 holds a single connection that was not accepted.
  if (::listen(listener_.get(), 0) != 0) {
    fail("listen");
  }
  port_ = port_of(listener_);
  if (state_ == backlog::full) {
    filler_.reset(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    const sockaddr_in address = loopback(port_);
    if (!filler_ || ::connect(filler_.get(), reinterpret_cast<const sockaddr*>(&address),
                              sizeof address) != 0) {
      fail("connect");
    }
  }
}

bool silent_listener::has_caller() const {
  if (state_ == backlog::full) {
    return handshake_under_way(port_);
  }
  pollfd waiting{listener_.get(), POLLIN, 0};
  return ::poll(&waiting, 1, 0) == 1;
}

}  // namespace http_test
