#include "core/version.hpp"

#include <boost/algorithm/string/trim.hpp>
#include <boost/lexical_cast.hpp>
#include <stdexcept>

namespace core {

void parse_version_string(const std::string& text, version& out) {
  if (text.empty()) {
    throw std::invalid_argument("The version string is empty.");
  }
  std::size_t start = 0;
  for (auto& field : out.fields) {
    const std::size_t end = text.find_first_of(".,", start);
    const std::string part = boost::algorithm::trim_copy(
        text.substr(start, end == std::string::npos ? end : end - start));
    field = boost::lexical_cast<std::int32_t>(part);
    if (end == std::string::npos) {
      return;
    }
    start = end + 1;
  }
}

std::string version_to_string(const version& v) {
  return std::to_string(v.fields[0]) + "." + std::to_string(v.fields[1]) + "." +
         std::to_string(v.fields[2]) + "." + std::to_string(v.fields[3]);
}

}  // namespace core
