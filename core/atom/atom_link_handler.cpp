#include "core/atom/atom_link_handler.hpp"

#include <boost/lexical_cast/try_lexical_convert.hpp>
#include <cstdint>

#include "core/atom/reading.hpp"

namespace core::atom {

void atom_link_handler::start_element(const std::string& namespace_uri,
                                      const std::string& local_name,
                                      const xml_attribute_map& attributes) {
  if (target_ == nullptr || !is_atom(namespace_uri, local_name, "link")) {
    return;
  }
  if (!target_->empty()) {
    target_->clear();
  }
  read_attributes("link", [&] {
    const std::string rel = attribute_value(attributes, "rel");
    const std::string type = attribute_value(attributes, "type");
    const std::string href = attribute_value(attributes, "href");
    const std::string title = attribute_value(attributes, "title");
    std::int64_t length = 0;
    if (!boost::conversion::try_lexical_convert(attribute_value(attributes, "length"), length)) {
      length = 0;
    }
    target_->set_href(href);
    target_->set_rel(rel);
    target_->set_type(type);
    target_->set_title(title);
    target_->set_length(length);
  });
}

}  // namespace core::atom
