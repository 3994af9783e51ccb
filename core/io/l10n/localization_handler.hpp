#pragma once

#include <boost/noncopyable.hpp>
#include <string>

#include "core/xml/xml_basic_handler.hpp"
#include "core/xml/xml_content_handler.hpp"

namespace core::io::l10n {

class localization_table;

// Every table uses this namespace; only its elements are read.
inline constexpr char localization_namespace[] =
    "http://www.lumbrel.example/schemas/localization/2009";

// Reads a table document into its target: the root "localization" (attribute
// "culture") empties the table, each "string" (attribute "id") stores its
// text, a later one with the same id replacing the earlier. Other elements
// and namespaces are ignored. Does nothing without a target.
class localization_handler : public basic_xml_content_handler<char>,
                             public xml_basic_handler,
                             boost::noncopyable {
 public:
  explicit localization_handler(localization_table* target) : target_(target) {}

  void start_element(const std::string& namespace_uri, const std::string& local_name,
                     const xml_attribute_map& attributes) override;
  void end_element(const std::string& namespace_uri, const std::string& local_name) override;
  void characters(const std::string& text) override;

 private:
  localization_table* target_;
  std::string current_id_;
};

}  // namespace core::io::l10n
