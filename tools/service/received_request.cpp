#include "tools/service/received_request.hpp"

#include <algorithm>
#include <boost/algorithm/string/predicate.hpp>

namespace service {

namespace {

header_fields::const_iterator find(const header_fields& headers, std::string_view name) {
  return std::find_if(headers.begin(), headers.end(),
                      [&](const auto& field) { return boost::iequals(field.first, name); });
}

}  // namespace

std::string received_request::header(std::string_view name) const {
  const auto found = find(headers, name);
  return found != headers.end() ? found->second : std::string();
}

bool received_request::has_header(std::string_view name) const {
  return find(headers, name) != headers.end();
}

}  // namespace service
