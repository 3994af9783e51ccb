#include "core/xhtml/xhtml_handler.hpp"

#include <locale>

namespace core::xhtml {

namespace {

constexpr const char* xhtml_namespace = "http://www.w3.org/1999/xhtml";

bool is_block(const std::string& name) {
  return name == "div" || name == "p" || name == "ul";
}

std::string trimmed(const std::string& text) {
  const std::locale locale;
  std::string::size_type first = 0;
  std::string::size_type last = text.size();
  while (first < last && std::isspace(text[first], locale))
    ++first;
  while (last > first && std::isspace(text[last - 1], locale))
    --last;
  return text.substr(first, last - first);
}

}  // namespace

void xhtml_handler::add_command(const command_ptr& command) {
  (stack_.empty() ? target_ : stack_.back()->children()).push_back(command);
  stack_.push_back(command);
}

void xhtml_handler::start_element(const std::string& namespace_uri, const std::string& local_name,
                                  const xml_attribute_map&) {
  if (namespace_uri != xhtml_namespace)
    return;
  if (is_block(local_name)) {
    add_command(std::make_shared<set_context_command>(local_name));
  } else if (local_name == "br") {
    add_command(std::make_shared<special_char_command>(line_break));
  } else if (local_name == "li") {
    // An item begins with a line break and a bullet.
    add_command(std::make_shared<set_context_command>(local_name));
    add_command(std::make_shared<special_char_command>(line_break));
    stack_.pop_back();
    add_command(std::make_shared<special_char_command>(bullet));
    stack_.pop_back();
  }
}

void xhtml_handler::end_element(const std::string& namespace_uri, const std::string& local_name) {
  if (namespace_uri != xhtml_namespace)
    return;
  if ((is_block(local_name) || local_name == "br" || local_name == "li") && !stack_.empty()) {
    // A block ends its line, so that what follows it is not drawn over it.
    if (is_block(local_name)) {
      stack_.back()->children().push_back(std::make_shared<special_char_command>(line_break));
    }
    stack_.pop_back();
  }
}

void xhtml_handler::characters(const std::string& text) {
  std::string content = trimmed(text);
  if (content.empty())
    return;
  add_command(std::make_shared<print_text_command>(std::move(content)));
  stack_.pop_back();
}

}  // namespace core::xhtml
