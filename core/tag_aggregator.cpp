#include "core/tag_aggregator.hpp"

namespace core {

namespace {

void append_escaped(std::string& out, const std::string& text, bool in_attribute) {
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '"':
        if (in_attribute) {
          out += "&quot;";
          break;
        }
        [[fallthrough]];
      default:
        out += c;
    }
  }
}

}  // namespace

void tag_aggregator::start_element(const std::string&, const std::string& local_name,
                                   const xml_attribute_map& attributes) {
  markup_ += '<';
  markup_ += local_name;
  for (const auto& [name, attribute] : attributes) {
    markup_ += ' ';
    markup_ += name.empty() ? "xmlns" : name;
    markup_ += "=\"";
    append_escaped(markup_, attribute.value, true);
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
  append_escaped(markup_, text, false);
}

}  // namespace core
