#pragma once

#include <boost/noncopyable.hpp>

#include "core/atom/atom_entry_handler.hpp"
#include "core/update/update_entry.hpp"
#include "core/update/update_link_handler.hpp"
#include "core/xml/xml_basic_handler.hpp"
#include "core/xml/xml_content_handler.hpp"

namespace core::update {

// Reads one feed entry into the target its owner sets: the Atom parts through
// the Atom entry reader, the version and status elements of the extension
// namespace and each link's platform here.
class update_entry_handler : public basic_xml_content_handler<char>,
                             public xml_basic_handler,
                             boost::noncopyable {
 public:
  void set_target(update_entry* target);

  void start_element(const std::string& namespace_uri, const std::string& local_name,
                     const xml_attribute_map& attributes) override;
  void end_element(const std::string& namespace_uri, const std::string& local_name) override;
  void characters(const std::string& text) override;

 private:
  update_entry* target_ = nullptr;
  atom::atom_entry_handler entry_reader_{nullptr};
  update_link_handler link_reader_;
};

}  // namespace core::update
