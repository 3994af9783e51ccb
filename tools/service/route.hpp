#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "tools/service/received_request.hpp"
#include "tools/service/reply.hpp"

namespace service {

// Takes a body piece by piece on the server's thread, for bodies too large
// to keep in memory. Dropped with the route once the request has ended, whole
// or not.
class body_sink {
 public:
  virtual ~body_sink() = default;
  virtual void write(std::string_view bytes) = 0;
};

enum class body_mode {
  // The body is kept in the received request.
  keep,
  // Only its size is counted: bodies of any size in flat memory.
  discard,
  // Handed to the route's sink, and counted.
  sink,
};

// How the server handles requests for one method and path.
struct route {
  // Empty: any method.
  std::string method;
  // Compared with the request target up to its query.
  std::string path;
  // Called on the server's thread once the whole body has arrived.
  std::function<reply(const received_request&)> respond;
  body_mode body = body_mode::keep;
  // With body_mode::sink.
  std::shared_ptr<body_sink> sink;

  // Faults on the request side:
  // a pause after the request's headers before its body is read;
  std::chrono::milliseconds stall_request{0};
  // the connection closed once this many body bytes have arrived;
  std::optional<std::uint64_t> cut_request_after;
  // the body read in pieces of this size with this pause between two, behind
  // a small receive buffer.
  std::size_t read_piece = 0;
  std::chrono::milliseconds read_pause{0};
};

}  // namespace service
