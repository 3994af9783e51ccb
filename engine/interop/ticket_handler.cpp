#include "engine/interop/ticket_handler.hpp"

#include "core/atom/reading.hpp"
#include "engine/interop/entry_reading.hpp"
#include "engine/interop/ticket.hpp"

namespace parvel::interop {

ticket_handler::ticket_handler(ticket* target) : text_extension_handler(target), target_(target) {}

void ticket_handler::start_extension(const std::string& local_name,
                                     const core::xml_attribute_map& attributes) {
  if (local_name != "ticket") {
    return;
  }
  core::atom::read_attributes("ticket", [&] {
    read_extension_namespace(attributes, target_->extension_namespace);
    target_->type = core::atom::attribute_value(attributes, "type");
  });
}

std::string* ticket_handler::text_field(const std::string& local_name) {
  return local_name == "ticket" ? &target_->value : nullptr;
}

}  // namespace parvel::interop
