#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <utility>

namespace core {

// Header lists and other plain text maps, ordered byte-wise by key.
using string_map = std::map<std::string, std::string>;

// Named parameters with typed reads: encoder settings, saved option values.
template <class Char>
class basic_key_value_params;

template <>
class basic_key_value_params<char> {
 public:
  virtual ~basic_key_value_params() = default;

  // Inserts a missing key with the empty value.
  std::string& operator[](const std::string& key) { return values_[key]; }
  bool has(const std::string& key) const { return values_.count(key) != 0; }

  // int, unsigned int or std::string. A missing key throws
  // std::invalid_argument "No key found in the collection."; a text that is not
  // wholly the number throws boost::bad_lexical_cast.
  template <class T>
  T get(const std::string& key) const;

  const string_map& values() const { return values_; }

 private:
  string_map values_;
};

template <>
int basic_key_value_params<char>::get<int>(const std::string& key) const;
template <>
unsigned int basic_key_value_params<char>::get<unsigned int>(const std::string& key) const;
template <>
std::string basic_key_value_params<char>::get<std::string>(const std::string& key) const;

using key_value_params = basic_key_value_params<char>;

// Missing key: std::invalid_argument "Key not found.".
std::string find_value(const string_map& map, const std::string& key);
bool contains_key(const string_map& map, const std::string& key);
// The pair at index in key order; past the end: std::out_of_range.
std::pair<std::string, std::string> pair_at(const string_map& map, std::size_t index);

}  // namespace core
