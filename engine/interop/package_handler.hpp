#pragma once

#include "engine/interop/extension_handler.hpp"

namespace parvel::interop {

class package;

// Reads the service's package entry: sender, subject, message, recipients in
// document order and the media address.
class package_handler : public text_extension_handler {
 public:
  explicit package_handler(package* target);

 private:
  void start_extension(const std::string& local_name,
                       const core::xml_attribute_map& attributes) override;
  std::string* text_field(const std::string& local_name) override;

  package* target_;
};

}  // namespace parvel::interop
