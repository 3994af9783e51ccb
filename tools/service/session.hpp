#pragma once

// Before asio's awaitable.hpp, which uses std::exchange without including it.
#include <utility>

#include <boost/asio/awaitable.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/ssl/context.hpp>
#include <chrono>
#include <optional>
#include <string>

#include "tools/service/received_request.hpp"
#include "tools/service/route.hpp"

namespace service {

// What a connection needs from the server that accepted it. Called on the
// server's thread.
class session_host {
 public:
  // From the request's head; its body is still to come.
  virtual std::optional<route> find_route(const received_request& head) const = 0;
  virtual void record(received_request request) = 0;
  virtual std::chrono::milliseconds idle_timeout() const = 0;

 protected:
  ~session_host() = default;
};

// Serves the requests of one connection until it closes; over TLS when tls
// is given. Never throws.
boost::asio::awaitable<void> serve_connection(boost::asio::ip::tcp::socket socket,
                                              boost::asio::ssl::context* tls, session_host& host);

}  // namespace service
