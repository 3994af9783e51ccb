#pragma once

#include <string>

namespace core::io::l10n {

// Answers the bracketed placeholders of localized texts. Never deleted
// through this interface; the virtual destructor only spares implementers
// the non-virtual-destructor warning.
class parameter_provider {
 public:
  // Sets value and returns true when the name is known.
  virtual bool get_parameter(const std::string& name, std::string& value) = 0;

 protected:
  virtual ~parameter_provider() = default;
};

}  // namespace core::io::l10n
