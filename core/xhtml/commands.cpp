#include "core/xhtml/commands.hpp"

#include <algorithm>
#include <iterator>

namespace core::xhtml {

bool text_context::is_default() const {
  return text.empty() && size == 0.0f && flag == 0 && alignment == 0 && line_alignment == 0 &&
         alpha == 0 && red == 0 && green == 0 && blue == 0;
}

basic_command::~basic_command() {
  // Descendants that nothing else holds are taken apart here, so that each
  // dies childless instead of destroying its subtree recursively.
  command_list doomed = std::move(children_);
  while (!doomed.empty()) {
    const command_ptr last = std::move(doomed.back());
    doomed.pop_back();
    if (last.use_count() == 1) {
      std::move(last->children_.begin(), last->children_.end(), std::back_inserter(doomed));
      last->children_.clear();
    }
  }
}

void basic_command::run(xhtml_output_device& device) {
  struct started {
    basic_command* command;
    std::size_t next_child;
  };
  std::vector<started> path;
  const auto start = [&](basic_command& command) {
    command.enter(device);
    command.execute(device);
    path.push_back({&command, 0});
  };
  if (device.full())
    return;
  start(*this);
  while (!path.empty()) {
    started& top = path.back();
    if (top.next_child < top.command->children_.size() && !device.full()) {
      start(*top.command->children_[top.next_child++]);
    } else {
      top.command->leave(device);
      path.pop_back();
    }
  }
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
