#pragma once

#include <boost/noncopyable.hpp>

#include "core/atom/atom_author.hpp"
#include "core/xml/xml_basic_handler.hpp"
#include "core/xml/xml_content_handler.hpp"

namespace core::atom {

// Reads an Atom author's name, email and uri into its target, which its
// owner sets; only Atom elements count.
class atom_author_handler : public basic_xml_content_handler<char>,
                            public xml_basic_handler,
                            boost::noncopyable {
 public:
  void set_target(atom_author* target) { target_ = target; }

  void start_element(const std::string& namespace_uri, const std::string& local_name,
                     const xml_attribute_map& attributes) override;
  void end_element(const std::string& namespace_uri, const std::string& local_name) override;
  void characters(const std::string& text) override;

 private:
  atom_author* target_ = nullptr;
};

}  // namespace core::atom
