#pragma once

#include <cstddef>
#include <deque>

#include "core/xhtml/commands.hpp"
#include "core/xml/xml_content_handler.hpp"

namespace core::xhtml {

// Builds the command tree of one parse into the caller's list. The notes
// come from the network, so the tree is bounded whatever the text: past
// max_depth open commands an element opens no level (what it holds stays at
// the deepest level), and no more commands and text are kept than a panel of
// the tallest screen can show. Once nothing more can be kept the handler
// stops the reading: the parse then throws, and stopped() tells that apart
// from a fault of the text.
class xhtml_handler : public basic_xml_content_handler<char> {
 public:
  static constexpr std::size_t max_depth = 32;
  static constexpr std::size_t max_commands = 2048;
  static constexpr std::size_t max_text_bytes = 64 * 1024;

  explicit xhtml_handler(command_list& target) : target_(target) {}
  xhtml_handler(const xhtml_handler&) = delete;
  xhtml_handler& operator=(const xhtml_handler&) = delete;

  void start_element(const std::string& namespace_uri, const std::string& local_name,
                     const xml_attribute_map& attributes) override;
  void end_element(const std::string& namespace_uri, const std::string& local_name) override;
  void characters(const std::string& text) override;

  bool stopped() const { return stopped_; }

 private:
  // Appends to the open command, or to the root list when none is open.
  void append(const command_ptr& command);
  // Appends the command and opens it, unless max_depth commands are open.
  void open(const command_ptr& command);
  [[noreturn]] void stop();

  command_list& target_;
  std::deque<command_ptr> stack_;
  // Elements inside the deepest open command that opened no level; they
  // always end before any open command does.
  std::size_t unopened_ = 0;
  std::size_t commands_made_ = 0;
  std::size_t text_bytes_kept_ = 0;
  bool stopped_ = false;
};

}  // namespace core::xhtml
