#pragma once

#include <map>
#include <string>

namespace core::io::l10n {

class parameter_provider;

// The texts of one culture by id. Filled once, then only read, from any
// thread without a lock.
class localization_table {
 public:
  explicit localization_table(parameter_provider* provider = nullptr) : provider_(provider) {}

  // The text of id with its placeholders answered by the provider; a missing
  // id, or one whose text is empty, gives the id itself. "[name]" is asked
  // for, its answer replaces it and is scanned again, so an answer may hold
  // further placeholders; names the provider does not know stay as written.
  std::string text(const std::string& id) const;
  // The stored text, or an empty one.
  const std::string& find(const std::string& id) const;

  const std::string& culture() const { return culture_; }
  void set_culture(const std::string& culture) { culture_ = culture; }
  const std::map<std::string, std::string>& strings() const { return strings_; }
  // Replaces the text stored under id.
  void set_string(const std::string& id, const std::string& text) { strings_[id] = text; }
  // Empties the strings and the culture.
  void clear();

 private:
  std::string culture_;
  std::map<std::string, std::string> strings_;
  parameter_provider* provider_;
};

}  // namespace core::io::l10n
