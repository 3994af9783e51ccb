#include "core/net/http/find_header.hpp"

#include <boost/algorithm/string/predicate.hpp>

namespace core::net::http {

std::optional<std::string> find_header(const string_map& headers, std::string_view name) {
  for (const auto& [key, value] : headers) {
    if (boost::iequals(key, name)) {
      return value;
    }
  }
  return std::nullopt;
}

}  // namespace core::net::http
