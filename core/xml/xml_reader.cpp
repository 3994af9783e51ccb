#include "core/xml/xml_reader.hpp"

#include <expat.h>

#include <algorithm>
#include <map>
#include <utility>
#include <vector>

#include "core/xml/xml_exception.hpp"

namespace core {

namespace {

// XML forbids this character everywhere, so it cannot occur in a namespace
// URI and splits expanded names safely.
constexpr char name_separator = '\x01';
constexpr std::uint32_t e_outofmemory = 0x8007000Eu;
// XML_Parse takes an int length: larger documents go in pieces.
constexpr std::size_t parse_piece = std::size_t{1} << 20;
// Documents come from the network, and every open element holds memory
// here and in the handlers: no real document nests anywhere near this deep.
constexpr std::size_t max_nesting = 10000;

struct parser_deleter {
  void operator()(XML_ParserStruct* parser) const { XML_ParserFree(parser); }
};
using parser_ptr = std::unique_ptr<XML_ParserStruct, parser_deleter>;

parser_ptr make_parser() {
  parser_ptr parser(XML_ParserCreateNS("UTF-8", name_separator));
  if (!parser) {
    throw msxml_exception("Cannot create the CLSID_SAXXMLReaderXX interface.", e_outofmemory);
  }
  XML_SetReturnNSTriplet(parser.get(), XML_TRUE);
  return parser;
}

// An expanded name from the parser: "uri<sep>local<sep>prefix", "uri<sep>local"
// or "local".
struct expanded_name {
  std::string uri;
  std::string local_name;
  std::string prefix;
};

expanded_name split_name(const char* name) {
  const std::string text(name);
  const auto first = text.find(name_separator);
  if (first == std::string::npos) {
    return {{}, text, {}};
  }
  const auto second = text.find(name_separator, first + 1);
  if (second == std::string::npos) {
    return {text.substr(0, first), text.substr(first + 1), {}};
  }
  return {text.substr(0, first), text.substr(first + 1, second - first - 1),
          text.substr(second + 1)};
}

// Bridges the parser's C callbacks to a content handler. Text is gathered and
// handed over in one piece at the next tag. No exception may unwind through
// the parser: each callback catches, keeps the text and stops the parse.
class content_handler_bridge {
 public:
  explicit content_handler_bridge(basic_xml_content_handler<char>* target) : target_(target) {}

  void attach(XML_Parser parser) {
    parser_ = parser;
    XML_SetUserData(parser, this);
    XML_SetElementHandler(parser, &on_start_element, &on_end_element);
    XML_SetCharacterDataHandler(parser, &on_characters);
    XML_SetStartNamespaceDeclHandler(parser, &on_start_namespace);
    XML_SetStartDoctypeDeclHandler(parser, &on_doctype);
  }

  void start_document() {
    guarded([this] { target_->start_document(); });
  }
  void end_document() {
    guarded([this] { target_->end_document(); });
  }

  bool failed() const { return failed_; }
  const std::string& last_error() const { return last_error_; }

 private:
  struct namespace_declaration {
    std::string prefix;
    std::string uri;
  };

  template <class Work>
  void guarded(Work&& work) noexcept {
    if (failed_ || target_ == nullptr) {
      return;
    }
    try {
      work();
    } catch (const std::exception& e) {
      fail(e.what());
    } catch (...) {
      fail("unknown exception");
    }
  }

  void fail(const char* text) noexcept {
    failed_ = true;
    try {
      last_error_ = text;
    } catch (...) {
      // Out of memory: the parse still fails, with the parser's code.
    }
    if (parser_ != nullptr) {
      XML_StopParser(parser_, XML_FALSE);
    }
  }

  void flush() {
    if (!pending_text_.empty()) {
      const std::string text = std::move(pending_text_);
      pending_text_.clear();
      target_->characters(text);
    }
  }

  xml_attribute_map attributes(const char** raw) {
    xml_attribute_map map;
    for (const auto& declaration : declarations_) {
      // "xmlns:p" comes as local name p, "xmlns" with an empty one.
      std::string local_name = declaration.prefix;
      if (local_name.empty()) {
        const auto known = prefixes_.find(declaration.uri);
        if (known != prefixes_.end()) {
          local_name = known->second;
        }
      }
      map.insert_or_assign(local_name, xml_attribute{"xmlns", local_name, declaration.uri});
    }
    declarations_.clear();
    for (; raw[0] != nullptr; raw += 2) {
      expanded_name name = split_name(raw[0]);
      std::string key = name.local_name;
      map.insert_or_assign(std::move(key), xml_attribute{std::move(name.prefix),
                                                         std::move(name.local_name), raw[1]});
    }
    return map;
  }

  static content_handler_bridge& self(void* data) {
    return *static_cast<content_handler_bridge*>(data);
  }

  static void on_start_element(void* data, const XML_Char* name, const XML_Char** raw) {
    auto& bridge = self(data);
    if (++bridge.depth_ > max_nesting) {
      bridge.fail("Elements are nested more than 10000 levels deep.");
      return;
    }
    bridge.guarded([&] {
      const expanded_name element = split_name(name);
      bridge.flush();
      const xml_attribute_map map = bridge.attributes(raw);
      bridge.target_->start_element(element.uri, element.local_name, map);
    });
  }

  static void on_end_element(void* data, const XML_Char* name) {
    auto& bridge = self(data);
    --bridge.depth_;
    bridge.guarded([&] {
      const expanded_name element = split_name(name);
      bridge.flush();
      bridge.target_->end_element(element.uri, element.local_name);
    });
  }

  static void on_characters(void* data, const XML_Char* text, int length) {
    auto& bridge = self(data);
    bridge.guarded([&] { bridge.pending_text_.append(text, static_cast<std::size_t>(length)); });
  }

  // Declarations stay for the rest of the document; they reach the handler
  // among the attributes of the element that makes them.
  static void on_start_namespace(void* data, const XML_Char* prefix, const XML_Char* uri) {
    auto& bridge = self(data);
    bridge.guarded([&] {
      const std::string prefix_text = prefix != nullptr ? prefix : "";
      const std::string uri_text = uri != nullptr ? uri : "";
      bridge.prefixes_.insert_or_assign(uri_text, prefix_text);
      bridge.declarations_.push_back({prefix_text, uri_text});
    });
  }

  // Documents come from the network: a declared entity could expand without
  // bound, so no document type declaration is read at all.
  static void on_doctype(void* data, const XML_Char*, const XML_Char*, const XML_Char*, int) {
    self(data).fail("Document type declarations are not allowed.");
  }

  basic_xml_content_handler<char>* target_;
  XML_Parser parser_ = nullptr;
  std::string pending_text_;
  // Namespace URI -> the prefix last declared for it.
  std::map<std::string, std::string> prefixes_;
  std::vector<namespace_declaration> declarations_;
  std::string last_error_;
  std::size_t depth_ = 0;
  bool failed_ = false;
};

}  // namespace

struct xml_reader::state {
  parser_ptr parser = make_parser();
  bool parser_used = false;
  std::unique_ptr<content_handler_bridge> bridge;
};

xml_reader::xml_reader() : state_(std::make_unique<state>()) {}

xml_reader::~xml_reader() = default;

void xml_reader::set_content_handler(basic_xml_content_handler<char>* handler) {
  if (handler != nullptr) {
    state_->bridge = std::make_unique<content_handler_bridge>(handler);
  }
}

void xml_reader::parse(basic_xml_content_handler<char>* handler, const std::string& document) {
  set_content_handler(handler);
  if (!state_->bridge) {
    state_->bridge = std::make_unique<content_handler_bridge>(nullptr);
  }
  if (state_->parser_used) {
    state_->parser = make_parser();
  }
  state_->parser_used = true;
  XML_Parser parser = state_->parser.get();
  content_handler_bridge& bridge = *state_->bridge;
  bridge.attach(parser);

  bridge.start_document();
  bool parsed = !bridge.failed();
  for (std::size_t offset = 0; parsed;) {
    const std::size_t length = std::min(parse_piece, document.size() - offset);
    const bool last = offset + length == document.size();
    parsed = XML_Parse(parser, document.data() + offset, static_cast<int>(length),
                       last ? XML_TRUE : XML_FALSE) == XML_STATUS_OK;
    offset += length;
    if (last) {
      break;
    }
  }
  if (parsed) {
    bridge.end_document();
  }
  if (bridge.failed() && !bridge.last_error().empty()) {
    throw msxml_exception("Cannot parse the xml-document: " + bridge.last_error(), e_fail);
  }
  if (!parsed || bridge.failed()) {
    throw msxml_exception("Cannot parse the xml-document: ",
                          static_cast<std::uint32_t>(XML_GetErrorCode(parser)));
  }
}

}  // namespace core
