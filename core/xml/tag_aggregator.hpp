#pragma once

#include <boost/noncopyable.hpp>
#include <string>

#include "core/xml/xml_content_handler.hpp"

namespace core {

// Turns the events of a sub-tree back into XML text: elements by local name
// (no prefixes), attributes in map order, text and values escaped again.
class tag_aggregator : public basic_xml_content_handler<char>, boost::noncopyable {
 public:
  void start_element(const std::string& namespace_uri, const std::string& local_name,
                     const xml_attribute_map& attributes) override;
  void end_element(const std::string& namespace_uri, const std::string& local_name) override;
  void characters(const std::string& text) override;

  // The markup rebuilt so far.
  const std::string& str() const { return markup_; }
  void clear() { markup_.clear(); }

 private:
  std::string markup_;
};

}  // namespace core
