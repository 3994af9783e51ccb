#pragma once

#include "engine/interop/extension_handler.hpp"

namespace parvel::interop {

class media;

// Reads the service's media entry; the attributes of its media element
// become the extension fields.
class media_handler : public extension_handler {
 public:
  explicit media_handler(media* target);

 private:
  void start_extension(const std::string& local_name,
                       const core::xml_attribute_map& attributes) override;

  media* target_;
};

}  // namespace parvel::interop
