#include "core/key_value_params.hpp"

#include <boost/lexical_cast.hpp>
#include <stdexcept>

namespace core {

namespace {

const std::string& stored(const string_map& values, const std::string& key) {
  const auto it = values.find(key);
  if (it == values.end()) {
    throw std::invalid_argument("No key found in the collection.");
  }
  return it->second;
}

}  // namespace

template <>
int basic_key_value_params<char>::get<int>(const std::string& key) const {
  return boost::lexical_cast<int>(stored(values_, key));
}

template <>
unsigned int basic_key_value_params<char>::get<unsigned int>(const std::string& key) const {
  const std::string& text = stored(values_, key);
  // The lexical conversion wraps "-1" to the largest value; a sign is no digit.
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    throw boost::bad_lexical_cast(typeid(std::string), typeid(unsigned int));
  }
  return boost::lexical_cast<unsigned int>(text);
}

template <>
std::string basic_key_value_params<char>::get<std::string>(const std::string& key) const {
  return stored(values_, key);
}

std::string find_value(const string_map& map, const std::string& key) {
  const auto it = map.find(key);
  if (it == map.end()) {
    throw std::invalid_argument("Key not found.");
  }
  return it->second;
}

bool contains_key(const string_map& map, const std::string& key) { return map.count(key) != 0; }

std::pair<std::string, std::string> pair_at(const string_map& map, std::size_t index) {
  if (index >= map.size()) {
    throw std::out_of_range("Cannot get a key-value pair. Index is out of range.");
  }
  return *std::next(map.begin(), static_cast<std::ptrdiff_t>(index));
}

}  // namespace core
