#pragma once

#include <boost/noncopyable.hpp>
#include <string>

#include "core/atom/atom_author_handler.hpp"
#include "core/atom/atom_entry_handler.hpp"
#include "core/atom/atom_feed.hpp"
#include "core/atom/atom_link_handler.hpp"
#include "core/xml/xml_basic_handler.hpp"
#include "core/xml/xml_content_handler.hpp"

namespace core::atom {

// Reads an Atom feed into its target: its own texts and links, the author
// and each entry through the member readers. Elements of other namespaces
// at feed level are ignored. An author or entry ends at the first element
// with its local name, whatever that element's namespace.
class atom_feed_handler : public basic_xml_content_handler<char>,
                          public xml_basic_handler,
                          boost::noncopyable {
 public:
  explicit atom_feed_handler(atom_feed* target) : target_(target) {}

  void start_element(const std::string& namespace_uri, const std::string& local_name,
                     const xml_attribute_map& attributes) override;
  void end_element(const std::string& namespace_uri, const std::string& local_name) override;
  void characters(const std::string& text) override;

 private:
  void activate(basic_xml_content_handler<char>& reader, const std::string& local_name);

  atom_feed* target_;
  atom_link_handler link_reader_;
  atom_entry_handler entry_reader_{nullptr};
  atom_author_handler author_reader_;
  // The sub-reader of the author or entry being read, and its element's name.
  basic_xml_content_handler<char>* active_ = nullptr;
  std::string active_name_;
};

}  // namespace core::atom
