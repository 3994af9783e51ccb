#include "core/xhtml/commands.hpp"

namespace core::xhtml {

bool text_context::is_default() const {
  return text.empty() && size == 0.0f && flag == 0 && alignment == 0 && line_alignment == 0 &&
         alpha == 0 && red == 0 && green == 0 && blue == 0;
}

void basic_command::run(xhtml_output_device& device) {
  enter(device);
  execute(device);
  for (const command_ptr& child : children_)
    child->run(device);
  leave(device);
}

void set_context_command::enter(xhtml_output_device& device) {
  device.get_context(saved_);
  device.set_context(context_);
}

void set_context_command::leave(xhtml_output_device& device) {
  device.set_context(saved_);
}

void print_text_command::execute(xhtml_output_device& device) {
  device.print_text(text_);
}

void special_char_command::execute(xhtml_output_device& device) {
  device.print_special_char(code_);
}

}  // namespace core::xhtml
