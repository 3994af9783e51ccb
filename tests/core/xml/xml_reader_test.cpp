#include "core/xml/xml_reader.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/xml/xml_basic_handler.hpp"
#include "core/xml/xml_exception.hpp"
#include "tests/support/expect_error.hpp"

namespace {

// Writes every event as one line: "<{uri}name key=prefix|local|value ...",
// "text:...", ">{uri}name"; throws "failed in <callback>" from the callback
// named by fail_in.
class recording_handler : public core::xml_content_handler {
 public:
  std::vector<std::string> events;
  std::string fail_in;

  void start_element(const std::string& uri, const std::string& name,
                     const core::xml_attribute_map& attributes) override {
    std::string line = "<{" + uri + "}" + name;
    for (const auto& [key, a] : attributes) {
      line += " " + key + "=" + a.prefix + "|" + a.local_name + "|" + a.value;
    }
    record("start_element", line);
  }
  void end_element(const std::string& uri, const std::string& name) override {
    record("end_element", ">{" + uri + "}" + name);
  }
  void characters(const std::string& text) override { record("characters", "text:" + text); }
  void end_document() override { record("end_document", {}); }

 private:
  void record(const std::string& callback, std::optional<std::string> line) {
    if (fail_in == callback) {
      throw std::runtime_error("failed in " + callback);
    }
    if (line) {
      events.push_back(*line);
    }
  }
};

TEST(xml_reader, reports_events_in_order) {
  const struct {
    std::string name;
    std::string document;
    std::vector<std::string> expected;
  } cases[] = {{"entity_between_letters_arrives_as_one_text",
                "<a>x&amp;y&#x41;<![CDATA[<z>]]></a>",
                {"<{}a", "text:x&yA<z>", ">{}a"}},
               {"text_around_empty_child_arrives_as_two_texts",
                "<a>one<b/>two</a>",
                {"<{}a", "text:one", "<{}b", ">{}b", "text:two", ">{}a"}},
               {"default_and_prefixed_namespaces",
                "<r xmlns='urn:d' xmlns:p='urn:p'><p:c p:at='1' at2='2'/><d/></r>",
                {"<{urn:d}r =xmlns||urn:d p=xmlns|p|urn:p", "<{urn:p}c at=p|at|1 at2=|at2|2",
                 ">{urn:p}c", "<{urn:d}d", ">{urn:d}d", ">{urn:d}r"}},
               {"later_attribute_with_same_local_name_wins",
                "<a xmlns:x='urn:x' xmlns:y='urn:y' x:k='1' y:k='2'/>",
                {"<{}a k=y|k|2 x=xmlns|x|urn:x y=xmlns|y|urn:y", ">{}a"}},
               {"declared_encoding_is_ignored",
                "<?xml version='1.0' encoding='ISO-8859-1'?><a>\xC3\xA9</a>",
                {"<{}a", "text:\xC3\xA9", ">{}a"}},
               {"comments_and_instructions_are_skipped",
                "<?xml version='1.0'?><!-- c --><a><?pi x?>t<!-- c -->u</a>\n<!-- tail -->",
                {"<{}a", "text:tu", ">{}a"}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    recording_handler handler;
    core::xml_reader reader;
    reader.parse(&handler, c.document);
    EXPECT_EQ(handler.events, c.expected);
  }
}

TEST(xml_reader, text_across_input_pieces_arrives_whole) {
  const std::string text(3 << 20, 'x');
  recording_handler handler;
  core::xml_reader reader;
  reader.parse(&handler, "<a>" + text + "&amp;</a>");
  ASSERT_EQ(handler.events.size(), 3u);
  EXPECT_EQ(handler.events[1], "text:" + text + "&");
}

// Keeps only elements of "urn:a" on its stack but checks every end tag.
class stack_handler : public core::xml_content_handler, public core::xml_basic_handler {
 public:
  void start_element(const std::string& uri, const std::string& name,
                     const core::xml_attribute_map&) override {
    if (uri == "urn:a") {
      push_element(uri, name);
    }
  }
  void end_element(const std::string& uri, const std::string& name) override {
    if (!elements().empty()) {
      check_element(uri, name);
      pop_element();
    }
  }
};

TEST(xml_reader, failures_throw_msxml_exception) {
  const std::string billion_laughs =
      "<!DOCTYPE z [<!ENTITY a 'lol'><!ENTITY b '&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;'>"
      "<!ENTITY c '&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;'>]><z>&c;</z>";
  constexpr std::uint32_t e_fail = 0x80004005u;
  const struct {
    std::string name;
    std::string failing_callback;  // empty: the stack handler
    std::string document;
    std::string detail;
    std::uint32_t hresult;
  } cases[] = {
      {"end_tag_out_of_stack_order", "", "<a xmlns='urn:a'><b xmlns='urn:b'/></a>",
       "Cannot parse 'b': Unexpected element in the stack.", e_fail},
      {"handler_start_element", "start_element", "<a/>", "failed in start_element", e_fail},
      {"handler_characters", "characters", "<a>t<b/></a>", "failed in characters", e_fail},
      {"handler_end_document", "end_document", "<a/>", "failed in end_document", e_fail},
      {"billion_laughs_is_refused", "none", billion_laughs,
       "Document type declarations are not allowed.", e_fail},
      {"external_entity_is_refused", "none", "<!DOCTYPE a SYSTEM 'file:///etc/passwd'><a/>",
       "Document type declarations are not allowed.", e_fail},
      {"nesting_past_10000_levels_is_refused", "none",
       [] {
         std::string deep;
         for (int level = 0; level < 10001; ++level)
           deep += "<a>";
         return deep;
       }(),
       "Elements are nested more than 10000 levels deep.", e_fail},
      {"mismatched_tags", "none", "<a><b></a>", "", 7},
      {"invalid_utf8", "none", "<a>\xFF</a>", "", 4}};
  core::xml_reader reader;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    recording_handler failing;
    failing.fail_in = c.failing_callback;
    stack_handler stack;
    core::xml_content_handler* handler =
        c.failing_callback.empty() ? static_cast<core::xml_content_handler*>(&stack) : &failing;
    try {
      reader.parse(handler, c.document);
      ADD_FAILURE() << "no exception";
    } catch (const core::msxml_exception& e) {
      char code[16];
      std::snprintf(code, sizeof code, "%x", c.hresult);
      EXPECT_EQ(std::string(e.what()),
                "MSXMLError: Cannot parse the xml-document: " + c.detail + " [0x" + code + "]");
      EXPECT_EQ(e.hresult(), c.hresult);
    }
  }
  recording_handler after;
  reader.parse(&after, "<b/>");
  EXPECT_EQ(after.events, (std::vector<std::string>{"<{}b", ">{}b"})) << "the reader serves again";
}

TEST(xml_content_handler, get_attribute_of_missing_name_throws) {
  const core::xml_attribute_map attributes{{"a", {"", "a", "1"}}};
  EXPECT_EQ(core::xml_content_handler::get_attribute(attributes, "a").value, "1");
  test_support::expect_error<std::out_of_range>(
      [&] { core::xml_content_handler::get_attribute(attributes, "b"); },
      "Cannot get the attribute. Name not found.");
}

}  // namespace
