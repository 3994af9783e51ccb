#include "core/net/http/method.hpp"

namespace core::net::http {

const char* verb(int code) {
  switch (code) {
    case method::head:
      return "HEAD";
    case method::get:
      return "GET";
    case method::put:
      return "PUT";
    case method::post:
      return "POST";
    case method::del:
      return "DELETE";
    default:
      return "UNSUPPORTED";
  }
}

}  // namespace core::net::http
