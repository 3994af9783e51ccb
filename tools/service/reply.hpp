#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace service {

using header_fields = std::vector<std::pair<std::string, std::string>>;

// What the server answers to one request, faults included. Without faults:
// status line, the headers, "Content-Length" of the body unless the headers
// give one, the body (left out for HEAD).
struct reply {
  int status = 200;
  // Empty: the status's standard text.
  std::string reason;
  header_fields headers;
  std::string body;

  // Faults, in the order they act:
  // silence before anything is sent (a server that does not answer);
  std::chrono::milliseconds delay{0};
  // these bytes sent as they are instead of a response, then the connection closed;
  std::optional<std::string> raw;
  // the body sent in pieces of this many bytes with a pause between two;
  std::size_t trickle_piece = 0;
  std::chrono::milliseconds trickle_pause{0};
  // the connection closed after this many body bytes, short of the announced length.
  std::optional<std::size_t> cut_after;
  // over TLS, that cut ended by a close_notify before the connection closes.
  bool close_notify = false;
};

}  // namespace service
