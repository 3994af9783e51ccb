#pragma once

#include <boost/noncopyable.hpp>

#include "core/atom/atom_entry.hpp"
#include "core/atom/atom_link_handler.hpp"
#include "core/xml/tag_aggregator.hpp"
#include "core/xml/xml_basic_handler.hpp"
#include "core/xml/xml_content_handler.hpp"

namespace core::atom {

// Reads an Atom entry into its target: namespace, id, updated, title,
// category, content and links, wherever they stand below the entry. Content
// of type "xhtml" becomes the markup of its XHTML elements, each text run
// trimmed. Without a target it does nothing.
class atom_entry_handler : public basic_xml_content_handler<char>,
                           public xml_basic_handler,
                           boost::noncopyable {
 public:
  explicit atom_entry_handler(atom_entry* target) : target_(target) {}

  void set_target(atom_entry* target) { target_ = target; }

  void start_element(const std::string& namespace_uri, const std::string& local_name,
                     const xml_attribute_map& attributes) override;
  void end_element(const std::string& namespace_uri, const std::string& local_name) override;
  void characters(const std::string& text) override;

 private:
  atom_entry* target_;
  atom_link_handler link_reader_;
  tag_aggregator xhtml_;
};

}  // namespace core::atom
