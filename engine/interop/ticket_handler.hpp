#pragma once

#include "engine/interop/extension_handler.hpp"

namespace parvel::interop {

class ticket;

// Reads the service's ticket entry: the ticket element's type and text.
class ticket_handler : public text_extension_handler {
 public:
  explicit ticket_handler(ticket* target);

 private:
  void start_extension(const std::string& local_name,
                       const core::xml_attribute_map& attributes) override;
  std::string* text_field(const std::string& local_name) override;

  ticket* target_;
};

}  // namespace parvel::interop
