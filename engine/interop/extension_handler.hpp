#pragma once

#include <string>

#include "core/atom/atom_entry_handler.hpp"

namespace parvel::interop {

// What the readers of the service's entries share: Atom elements go to the
// Atom entry reader, extension elements to the kind's own reader, and both
// share one element stack, so an answer that closes elements out of order
// fails. Lives for one parse.
class extension_handler : public core::atom::atom_entry_handler {
 public:
  void start_element(const std::string& namespace_uri, const std::string& local_name,
                     const core::xml_attribute_map& attributes) final;
  void end_element(const std::string& namespace_uri, const std::string& local_name) final;

 protected:
  explicit extension_handler(core::atom::atom_entry* target) : atom_entry_handler(target) {}

  // An extension element has started; one the kind does not know is ignored.
  virtual void start_extension(const std::string& local_name,
                               const core::xml_attribute_map& attributes) = 0;
};

// A reader that also keeps the text of some extension elements: trimmed, a
// blank text ignored, a later piece replacing an earlier one.
class text_extension_handler : public extension_handler {
 public:
  void characters(const std::string& text) final;

 protected:
  using extension_handler::extension_handler;

  // The field that keeps the element's text; null for an element whose text
  // is ignored.
  virtual std::string* text_field(const std::string& local_name) = 0;
};

}  // namespace parvel::interop
