#pragma once

#include <boost/noncopyable.hpp>

#include "core/atom/atom_link_handler.hpp"
#include "core/update/update_link.hpp"
#include "core/xml/xml_basic_handler.hpp"
#include "core/xml/xml_content_handler.hpp"

namespace core::update {

// Reads an Atom link of the feed, its platform attribute included, into the
// target its owner sets.
class update_link_handler : public basic_xml_content_handler<char>,
                            public xml_basic_handler,
                            boost::noncopyable {
 public:
  void set_target(update_link* target);

  void start_element(const std::string& namespace_uri, const std::string& local_name,
                     const xml_attribute_map& attributes) override;

 private:
  update_link* target_ = nullptr;
  atom::atom_link_handler link_reader_;
};

}  // namespace core::update
