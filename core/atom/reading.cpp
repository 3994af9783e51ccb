#include "core/atom/reading.hpp"

#include "core/atom/atom_namespace.hpp"
#include "core/xml/xml_content_handler.hpp"

namespace core::atom {

namespace {

bool is_space(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

}  // namespace

std::string trimmed(const std::string& text) {
  std::size_t first = 0;
  std::size_t last = text.size();
  while (first < last && is_space(text[first])) {
    ++first;
  }
  while (last > first && is_space(text[last - 1])) {
    --last;
  }
  return text.substr(first, last - first);
}

std::string attribute_value(const xml_attribute_map& attributes, const std::string& local_name) {
  if (!xml_content_handler::has_attribute(attributes, local_name)) {
    return {};
  }
  return xml_content_handler::get_attribute(attributes, local_name).value;
}

std::string declared_namespace(const xml_attribute_map& attributes) {
  const std::string declared = attribute_value(attributes, "");
  return declared.empty() ? std::string(atom_namespace_uri) : declared;
}

bool is_atom(const std::string& namespace_uri, const std::string& local_name, const char* name) {
  return local_name == name && namespace_uri == atom_namespace_uri;
}

}  // namespace core::atom
