#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tools/service/received_request.hpp"
#include "tools/service/reply.hpp"
#include "tools/service/route.hpp"

namespace service {

// An HTTP/1.1 server on 127.0.0.1 with routes and faults scripted by its
// owner, over TLS when given a certificate. It listens from construction and
// serves on a thread of its own until stop() or destruction; every wait it
// makes is bounded by a duration or by its stop. Requests that neither a
// route nor the router take get 404.
class server {
 public:
  // The handling of one request that no route matches, made from its head
  // (body still to come) on the server's thread; nullopt: 404.
  using router = std::function<std::optional<route>(const received_request& head)>;

  struct options {
    // PEM files; both empty: plain HTTP.
    std::string certificate_file;
    std::string private_key_file;
    // 0: any free port.
    unsigned short port = 0;
    // A connection that moves nothing for this long is closed.
    std::chrono::milliseconds idle_timeout{30000};
  };

  // Throws std::runtime_error when the certificate or the port cannot be used.
  explicit server(const options& settings);
  server();
  ~server();
  server(const server&) = delete;
  server& operator=(const server&) = delete;

  unsigned short port() const;
  // "http://127.0.0.1:<port>" or "https://127.0.0.1:<port>", without a slash.
  std::string base_url() const;

  // Replaces any route with the same method and path. Any thread.
  void add_route(route handling);
  // A route answering every request with the same reply.
  void add_route(const std::string& method, const std::string& path, const reply& answer);
  // Consulted after the routes. Any thread.
  void set_router(router routing);

  // The requests received so far, in order.
  std::vector<received_request> requests() const;
  // Whether count requests have been received within limit.
  bool wait_for_requests(std::size_t count, std::chrono::milliseconds limit) const;

  // Closes every connection and ends the thread, cutting pauses short. From
  // the owning thread; later requests find nothing listening.
  void stop();

 private:
  class impl;
  std::unique_ptr<impl> impl_;
};

}  // namespace service
