#include "core/xhtml/xhtml_handler.hpp"

#include <locale>
#include <stdexcept>
#include <string_view>

namespace core::xhtml {

namespace {

constexpr const char* xhtml_namespace = "http://www.w3.org/1999/xhtml";

bool is_block(const std::string& name) {
  return name == "div" || name == "p" || name == "ul";
}

bool is_structural(const std::string& name) {
  return is_block(name) || name == "br" || name == "li";
}

std::string_view trimmed(std::string_view text) {
  const std::locale locale;
  std::size_t first = 0;
  std::size_t last = text.size();
  while (first < last && std::isspace(text[first], locale))
    ++first;
  while (last > first && std::isspace(text[last - 1], locale))
    --last;
  return text.substr(first, last - first);
}

// At most `bytes` of text, never ending inside a UTF-8 sequence.
std::string_view utf8_prefix(std::string_view text, std::size_t bytes) {
  if (text.size() <= bytes)
    return text;
  while (bytes > 0 && (static_cast<unsigned char>(text[bytes]) & 0xC0) == 0x80)
    --bytes;
  return text.substr(0, bytes);
}

}  // namespace

void xhtml_handler::stop() {
  stopped_ = true;
  throw std::length_error("The release notes hold more than can be shown.");
}

void xhtml_handler::append(const command_ptr& command) {
  if (commands_made_ == max_commands)
    stop();
  ++commands_made_;
  (stack_.empty() ? target_ : stack_.back()->children()).push_back(command);
}

void xhtml_handler::open(const command_ptr& command) {
  // At the depth bound the element is kept as a leaf: it still draws what
  // it stands for, and what it holds follows it at the deepest level.
  append(command);
  if (stack_.size() == max_depth)
    ++unopened_;
  else
    stack_.push_back(command);
}

void xhtml_handler::start_element(const std::string& namespace_uri, const std::string& local_name,
                                  const xml_attribute_map&) {
  if (namespace_uri != xhtml_namespace || !is_structural(local_name))
    return;
  if (local_name == "br") {
    open(std::make_shared<special_char_command>(line_break));
    return;
  }
  open(std::make_shared<set_context_command>(local_name));
  if (local_name == "li") {
    // An item begins with a line break and a bullet.
    append(std::make_shared<special_char_command>(line_break));
    append(std::make_shared<special_char_command>(bullet));
  }
}

void xhtml_handler::end_element(const std::string& namespace_uri, const std::string& local_name) {
  if (namespace_uri != xhtml_namespace || !is_structural(local_name))
    return;
  // A block ends its line, so that what follows it is not drawn over it.
  if (is_block(local_name))
    append(std::make_shared<special_char_command>(line_break));
  if (unopened_ > 0)
    --unopened_;
  else if (!stack_.empty())
    stack_.pop_back();
}

void xhtml_handler::characters(const std::string& text) {
  const std::string_view content = trimmed(text);
  if (content.empty())
    return;
  const std::string_view kept = utf8_prefix(content, max_text_bytes - text_bytes_kept_);
  if (!kept.empty()) {
    append(std::make_shared<print_text_command>(std::string(kept)));
    text_bytes_kept_ += kept.size();
  }
  if (kept.size() < content.size())
    stop();
}

}  // namespace core::xhtml
