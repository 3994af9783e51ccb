#pragma once

#include <deque>

#include "core/xhtml/commands.hpp"
#include "core/xml/xml_content_handler.hpp"

namespace core::xhtml {

// Builds the command tree of one parse into the caller's list.
class xhtml_handler : public basic_xml_content_handler<char> {
 public:
  explicit xhtml_handler(command_list& target) : target_(target) {}
  xhtml_handler(const xhtml_handler&) = delete;
  xhtml_handler& operator=(const xhtml_handler&) = delete;

  void start_element(const std::string& namespace_uri, const std::string& local_name,
                     const xml_attribute_map& attributes) override;
  void end_element(const std::string& namespace_uri, const std::string& local_name) override;
  void characters(const std::string& text) override;

 private:
  // Appends to the open command (or the root list) and opens the command.
  void add_command(const command_ptr& command);

  command_list& target_;
  std::deque<command_ptr> stack_;
};

}  // namespace core::xhtml
