#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/xhtml/xhtml_output_device.hpp"

namespace core::xhtml {

class basic_command;
using command_ptr = std::shared_ptr<basic_command>;
using command_list = std::vector<command_ptr>;

// A node of the drawing tree made from XHTML; commands keep their children
// alive. Running and destroying a tree take no call stack per level, so a
// tree of any depth is safe.
class basic_command {
 public:
  explicit basic_command(std::string name) : name_(std::move(name)) {}
  virtual ~basic_command();
  basic_command(const basic_command&) = delete;
  basic_command& operator=(const basic_command&) = delete;

  const std::string& name() const { return name_; }
  command_list& children() { return children_; }
  const command_list& children() const { return children_; }

  // enter, execute, the children in order, leave. Once the device is full
  // no further command starts; those started are still left, inner first.
  void run(xhtml_output_device& device);

  virtual void enter(xhtml_output_device&) {}
  virtual void leave(xhtml_output_device&) {}
  virtual void execute(xhtml_output_device&) {}

 private:
  std::string name_;
  command_list children_;
};

// div, p, ul and li: sets its own (default) context for its subtree and puts
// the device's previous context back afterwards.
class set_context_command : public basic_command {
 public:
  using basic_command::basic_command;

  void enter(xhtml_output_device& device) override;
  void leave(xhtml_output_device& device) override;

 private:
  text_context context_;
  text_context saved_;
};

class print_text_command : public basic_command {
 public:
  explicit print_text_command(std::string text) : basic_command("text"), text_(std::move(text)) {}

  const std::string& text() const { return text_; }
  void execute(xhtml_output_device& device) override;

 private:
  std::string text_;
};

class special_char_command : public basic_command {
 public:
  explicit special_char_command(std::int32_t code) : basic_command("special_char"), code_(code) {}

  std::int32_t code() const { return code_; }
  void execute(xhtml_output_device& device) override;

 private:
  std::int32_t code_;
};

}  // namespace core::xhtml
