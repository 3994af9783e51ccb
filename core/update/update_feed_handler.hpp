#pragma once

#include <boost/noncopyable.hpp>

#include "core/atom/atom_feed_handler.hpp"
#include "core/update/update_entry_handler.hpp"
#include "core/update/update_feed.hpp"
#include "core/xml/xml_basic_handler.hpp"
#include "core/xml/xml_content_handler.hpp"

namespace core::update {

// The reader the update check hands to the XML reader: the feed's own Atom
// parts through the Atom feed reader, each entry (an "entry" element of any
// namespace) through the update entry reader.
class update_feed_handler : public basic_xml_content_handler<char>,
                            public xml_basic_handler,
                            boost::noncopyable {
 public:
  explicit update_feed_handler(update_feed* target) : target_(target), feed_reader_(target) {}

  void start_element(const std::string& namespace_uri, const std::string& local_name,
                     const xml_attribute_map& attributes) override;
  void end_element(const std::string& namespace_uri, const std::string& local_name) override;
  void characters(const std::string& text) override;

 private:
  update_feed* target_;
  atom::atom_feed_handler feed_reader_;
  update_entry_handler entry_reader_;
  // While an entry is read, its events go to the entry reader.
  bool in_entry_ = false;
};

}  // namespace core::update
