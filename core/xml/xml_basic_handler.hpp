#pragma once

#include <deque>
#include <string>
#include <utility>

namespace core {

// The element stack of a handler that tracks where it is in the document:
// (namespace URI, local name) pairs, oldest first.
class xml_basic_handler {
 public:
  using element = std::pair<std::string, std::string>;

  void push_element(const std::string& namespace_uri, const std::string& local_name);
  // Throws the parse error "Unexpected element in the stack." when the stack
  // is not empty and its top is not the given element.
  void check_element(const std::string& namespace_uri, const std::string& local_name) const;
  // An empty stack is left alone.
  void pop_element();
  // The top pair; callers test elements().empty() first.
  const element& current_element() const { return elements_.back(); }
  const std::deque<element>& elements() const { return elements_; }

  // Throws std::runtime_error "Cannot parse '" + name + "': " + message.
  [[noreturn]] static void throw_parse_error(const std::string& name, const std::string& message);

 protected:
  ~xml_basic_handler() = default;

 private:
  std::deque<element> elements_;
};

}  // namespace core
