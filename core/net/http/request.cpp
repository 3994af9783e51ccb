#include "core/net/http/request.hpp"

#include "core/net/uri.hpp"

namespace core::net::http {

basic_request::basic_request(const std::string& url, const string_map& request_headers)
    : headers(request_headers) {
  const uri parsed(url);
  scheme = parsed.scheme();
  host = parsed.host();
  port = parsed.port() != 0 ? std::to_string(parsed.port()) : scheme;
  path = parsed.path_and_query();
}

basic_file_request::basic_file_request(const std::string& url, const string_map& request_headers,
                                       const std::string& path_of_file)
    : basic_request(url, request_headers), file_path(path_of_file) {}

}  // namespace core::net::http
