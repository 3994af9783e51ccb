#include "core/xml/xml_basic_handler.hpp"

#include <stdexcept>

namespace core {

void xml_basic_handler::push_element(const std::string& namespace_uri,
                                     const std::string& local_name) {
  elements_.emplace_back(namespace_uri, local_name);
}

void xml_basic_handler::check_element(const std::string& namespace_uri,
                                      const std::string& local_name) const {
  if (!elements_.empty() &&
      (elements_.back().first != namespace_uri || elements_.back().second != local_name)) {
    throw_parse_error(local_name, "Unexpected element in the stack.");
  }
}

void xml_basic_handler::pop_element() {
  if (!elements_.empty()) {
    elements_.pop_back();
  }
}

void xml_basic_handler::throw_parse_error(const std::string& name, const std::string& message) {
  throw std::runtime_error("Cannot parse '" + name + "': " + message);
}

}  // namespace core
