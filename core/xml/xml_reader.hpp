#pragma once

#include <memory>
#include <string>

#include "core/xml/xml_content_handler.hpp"

namespace core {

// Parses XML documents held in memory and hands their events to a content
// handler. The document is read as UTF-8 whatever its declaration says;
// namespaces are resolved; document type declarations are refused, so no
// entity is ever declared or expanded; elements nested more than 10000
// levels deep are refused. Failures are msxml_exception:
//   a handler's exception: "Cannot parse the xml-document: " + its text, E_FAIL;
//   a document the parser rejects: "Cannot parse the xml-document: " and the
//   parser's error number as the code.
// One thread uses a reader; each parse gets a fresh parser state.
class xml_reader {
 public:
  xml_reader();
  ~xml_reader();
  xml_reader(const xml_reader&) = delete;
  xml_reader& operator=(const xml_reader&) = delete;

  // The handler that the next parse reports to; null changes nothing.
  void set_content_handler(basic_xml_content_handler<char>* handler);
  void parse(basic_xml_content_handler<char>* handler, const std::string& document);

 private:
  struct state;
  std::unique_ptr<state> state_;
};

}  // namespace core
