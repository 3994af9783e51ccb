#pragma once

#include <string>

#include "core/key_value_params.hpp"

namespace core::net::http {

// What bounds the wait for a request's answer once the request has gone out.
enum class answer_wait {
  // The whole answer within timeouts::answer of the request's last byte,
  // besides the stall floor: service answers and feeds. A long upload is
  // never cut by it.
  deadline,
  // Only the stall floor (timeouts::stall): a bulk download, such as an
  // installer's, which is the answer itself.
  stall_floor,
};

// One request as the client sends it. The target comes from a URL split by
// core::net::uri; the client's operations set the method, the body and the
// "Content-Type" and "Content-Length" headers.
struct basic_request {
  // Throws what the URL parser throws, before any network call.
  basic_request(const std::string& url, const string_map& headers);

  string_map headers;
  std::string body;
  std::string scheme;
  std::string host;
  // Decimal; the scheme's name when the URL has neither a port nor a scheme
  // with a default one, which fails when the request is sent.
  std::string port;
  int method = 0;
  // Path and query: the request target.
  std::string path;
  answer_wait wait = answer_wait::deadline;
  // Whether a redirect may turn the request into a GET, as browsers do (a
  // 303, or a 301 or 302 of a POST). When not, such a redirect is the
  // answer: a body that must reach its own address is never dropped on the way.
  bool redirect_may_change_method = true;
};

// A request whose body is the content of a file.
struct basic_file_request : basic_request {
  basic_file_request(const std::string& url, const string_map& headers,
                     const std::string& file_path);

  std::string file_path;
};

}  // namespace core::net::http
