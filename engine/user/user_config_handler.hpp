#pragma once

#include "core/xml/xml_content_handler.hpp"
#include "engine/user/user_config.hpp"

namespace parvel {

// Fills a user_config from the start tags of "parvel.config"; the contacts in
// file order, which the loader sorts once.
class user_config_handler : public core::xml_content_handler {
 public:
  explicit user_config_handler(user_config& target) : target_(target) {}

  void start_element(const std::string& namespace_uri, const std::string& local_name,
                     const core::xml_attribute_map& attributes) override;

 private:
  user_config& target_;
};

}  // namespace parvel
