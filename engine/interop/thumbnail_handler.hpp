#pragma once

#include "engine/interop/extension_handler.hpp"

namespace parvel::interop {

class thumbnail;

// Reads the service's thumbnail entry; its resolution element gives the size.
class thumbnail_handler : public extension_handler {
 public:
  explicit thumbnail_handler(thumbnail* target);

 private:
  void start_extension(const std::string& local_name,
                       const core::xml_attribute_map& attributes) override;

  thumbnail* target_;
};

}  // namespace parvel::interop
