#include "core/resources/resource_location_inprocess.hpp"

#include <boost/lexical_cast.hpp>
#include <cstdint>
#include <sstream>
#include <stdexcept>

#include "core/module.hpp"

namespace core {

namespace {

// Only plain decimal digits: the lexical cast alone would take "-1" as 65535.
std::uint16_t resource_number(const std::string& name) {
  if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos) {
    throw boost::bad_lexical_cast(typeid(std::string), typeid(std::uint16_t));
  }
  return boost::lexical_cast<std::uint16_t>(name);
}

}  // namespace

std::shared_ptr<std::istream> resource_location_inprocess::open(const std::string& resource) const {
  return std::make_shared<std::stringstream>(read(resource));
}

std::string resource_location_inprocess::read(const std::string& resource) const {
  std::string bytes = load_resource(get_current_module(), resource_number(resource), type_);
  if (bytes.empty()) {
    throw std::runtime_error("Cannot read the inprocess resource.");
  }
  return bytes;
}

bool resource_location_inprocess::exists(const std::string& resource) const {
  try {
    return resource_exists(get_current_module(), resource_number(resource), type_);
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace core
