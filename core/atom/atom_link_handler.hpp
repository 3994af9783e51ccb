#pragma once

#include <boost/noncopyable.hpp>

#include "core/atom/atom_link.hpp"
#include "core/xml/xml_basic_handler.hpp"
#include "core/xml/xml_content_handler.hpp"

namespace core::atom {

// Reads the attributes of an Atom link element into its target, which its
// owner sets; without one it does nothing.
class atom_link_handler : public basic_xml_content_handler<char>,
                          public xml_basic_handler,
                          boost::noncopyable {
 public:
  void set_target(atom_link* target) { target_ = target; }

  // Clears a target that is not empty, then sets href, rel, type, title and
  // length (0 when absent or not a number).
  void start_element(const std::string& namespace_uri, const std::string& local_name,
                     const xml_attribute_map& attributes) override;

 private:
  atom_link* target_ = nullptr;
};

}  // namespace core::atom
