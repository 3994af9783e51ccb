#include "engine/user/user_config_handler.hpp"

#include <boost/lexical_cast.hpp>
#include <stdexcept>

namespace parvel {

namespace {

std::string attribute_or_empty(const core::xml_attribute_map& attributes, const std::string& name) {
  const auto it = attributes.find(name);
  return it == attributes.end() ? std::string() : it->second.value;
}

}  // namespace

void user_config_handler::start_element(const std::string&, const std::string& local_name,
                                        const core::xml_attribute_map& attributes) {
  try {
    if (local_name == "user") {
      if (has_attribute(attributes, "email")) {
        target_.email = get_attribute(attributes, "email").value;
      }
    } else if (local_name == "contact") {
      target_.contacts.push_back(attribute_or_empty(attributes, "email"));
    } else if (local_name == "package") {
      const std::string value = attribute_or_empty(attributes, "value");
      target_.set_package(attribute_or_empty(attributes, "date"),
                          value.empty() ? 0 : boost::lexical_cast<std::int32_t>(value));
    }
  } catch (const std::exception& e) {
    throw std::runtime_error(std::string("Cannot parse the user config file: ") + e.what());
  }
}

}  // namespace parvel
