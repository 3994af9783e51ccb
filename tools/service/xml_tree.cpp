#include "tools/service/xml_tree.hpp"

#include <expat.h>

#include <algorithm>
#include <limits>
#include <memory>

namespace service {

namespace {

// Separates a namespace name from a local name in expat's names: attribute
// values turn line breaks into blanks, so no namespace name holds one.
constexpr char name_separator = '\n';
constexpr std::size_t deepest_nesting = 32;

struct parser_deleter {
  void operator()(XML_Parser parser) const { XML_ParserFree(parser); }
};
using parser_handle = std::unique_ptr<std::remove_pointer_t<XML_Parser>, parser_deleter>;

class tree_builder {
 public:
  explicit tree_builder(XML_Parser parser) : parser_(parser) {
    XML_SetUserData(parser, this);
    XML_SetElementHandler(parser, &tree_builder::on_start, &tree_builder::on_end);
    XML_SetCharacterDataHandler(parser, &tree_builder::on_text);
    XML_SetStartDoctypeDeclHandler(parser, &tree_builder::on_doctype);
  }

  xml_element take_root() { return std::move(root_); }
  // Why the builder stopped the parser; empty when expat stopped by itself.
  const std::string& refusal() const { return refusal_; }

 private:
  static void on_start(void* data, const XML_Char* name, const XML_Char** attributes) {
    auto& self = *static_cast<tree_builder*>(data);
    if (self.stopped()) {
      return;
    }
    if (self.open_.size() == deepest_nesting) {
      self.stop("elements nest too deeply");
      return;
    }
    xml_element element;
    std::tie(element.namespace_uri, element.name) = split(name);
    for (const XML_Char** attribute = attributes; *attribute != nullptr; attribute += 2) {
      element.attributes.emplace_back(attribute[0], attribute[1]);
    }
    if (self.open_.empty()) {
      self.root_ = std::move(element);
      self.open_.push_back(&self.root_);
    } else {
      auto& children = self.open_.back()->children;
      children.push_back(std::move(element));
      self.open_.push_back(&children.back());
    }
  }

  static void on_end(void* data, const XML_Char*) {
    auto& self = *static_cast<tree_builder*>(data);
    if (!self.stopped()) {
      self.open_.pop_back();
    }
  }

  static void on_text(void* data, const XML_Char* text, int length) {
    auto& self = *static_cast<tree_builder*>(data);
    if (!self.stopped() && !self.open_.empty()) {
      self.open_.back()->text.append(text, static_cast<std::size_t>(length));
    }
  }

  static void on_doctype(void* data, const XML_Char*, const XML_Char*, const XML_Char*, int) {
    static_cast<tree_builder*>(data)->stop("a document type declaration is not allowed");
  }

  static std::pair<std::string, std::string> split(std::string_view name) {
    const auto separator = name.find(name_separator);
    if (separator == std::string_view::npos) {
      return {std::string(), std::string(name)};
    }
    return {std::string(name.substr(0, separator)), std::string(name.substr(separator + 1))};
  }

  // Expat may still deliver an event or two after a stop.
  bool stopped() const { return !refusal_.empty(); }

  void stop(std::string reason) {
    refusal_ = std::move(reason);
    XML_StopParser(parser_, XML_FALSE);
  }

  XML_Parser parser_;
  xml_element root_;
  // The elements open at this point of the document; children are only ever
  // added to the last, so the pointers stay valid.
  std::vector<xml_element*> open_;
  std::string refusal_;
};

}  // namespace

const std::string* xml_element::attribute(std::string_view attribute_name) const {
  const auto found = std::find_if(attributes.begin(), attributes.end(),
                                  [&](const auto& pair) { return pair.first == attribute_name; });
  return found != attributes.end() ? &found->second : nullptr;
}

std::vector<const xml_element*> xml_element::children_named(std::string_view child_namespace,
                                                            std::string_view child_name) const {
  std::vector<const xml_element*> found;
  for (const auto& child : children) {
    if (child.namespace_uri == child_namespace && child.name == child_name) {
      found.push_back(&child);
    }
  }
  return found;
}

xml_element parse_xml(std::string_view document) {
  const parser_handle parser(XML_ParserCreateNS("UTF-8", name_separator));
  if (!parser) {
    throw std::bad_alloc();
  }
  tree_builder builder(parser.get());
  if (document.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
    throw xml_error("the document is too large");
  }
  if (XML_Parse(parser.get(), document.data(), static_cast<int>(document.size()), XML_TRUE) !=
      XML_STATUS_OK) {
    if (!builder.refusal().empty()) {
      throw xml_error(builder.refusal());
    }
    throw xml_error(std::string(XML_ErrorString(XML_GetErrorCode(parser.get()))) + " at line " +
                    std::to_string(XML_GetCurrentLineNumber(parser.get())) + ", column " +
                    std::to_string(XML_GetCurrentColumnNumber(parser.get())));
  }
  return builder.take_root();
}

}  // namespace service
