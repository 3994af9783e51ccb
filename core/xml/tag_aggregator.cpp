#include "core/xml/tag_aggregator.hpp"

#include "core/xml/xml_escape.hpp"

namespace core {

void tag_aggregator::start_element(const std::string&, const std::string& local_name,
                                   const xml_attribute_map& attributes) {
  markup_ += '<';
  markup_ += local_name;
  for (const auto& [name, attribute] : attributes) {
    markup_ += ' ';
    markup_ += name.empty() ? "xmlns" : name;
    markup_ += "=\"";
    markup_ += xml_attribute_text(attribute.value);
    markup_ += '"';
  }
  markup_ += '>';
}

void tag_aggregator::end_element(const std::string&, const std::string& local_name) {
  markup_ += "</";
  markup_ += local_name;
  markup_ += '>';
}

void tag_aggregator::characters(const std::string& text) {
  markup_ += xml_text(text);
}

}  // namespace core
