#include <gtest/gtest.h>

#include <string>

#include "engine/interop/media.hpp"
#include "engine/interop/package.hpp"
#include "engine/interop/thumbnail.hpp"
#include "tests/support/table.hpp"

namespace {

using namespace parvel::interop;

const std::string declaration = R"(<?xml version="1.0" encoding="utf-8" ?>)";
const std::string entry_with_prefix =
    R"(<atom:entry xmlns:atom="http://www.w3.org/2005/Atom" )"
    R"(xmlns:lm="http://www.lumbrel.example/xsd/desktop/1.0/desktop-atom-ext.xsd" >)";

std::string category(const std::string& kind) {
  return R"(<atom:category scheme="http://www.lumbrel.example/xsd/desktop/1.0/2009#kind" )"
         R"(term="http://www.lumbrel.example/xsd/desktop/1.0/2009#)" +
         kind + R"("/>)";
}

TEST(media_writing, gives_the_exact_text) {
  media entry;
  entry.mime_type = "application/octet-stream";
  entry.format = "zip";
  entry.resolution = "multiple";
  entry.original_name = "anna-2024-05-01-3.zip";
  entry.entries = 3;
  entry.client_type = "windows";
  entry.set_title("never written");
  entry.add_link().set_href("https://x.example/never");
  EXPECT_EQ(
      entry.to_xml(),
      declaration + R"(<atom:entry xmlns:atom="http://www.w3.org/2005/Atom">)" + category("media") +
          R"(<lm:media xmlns:lm="http://www.lumbrel.example/xsd/desktop/1.0/desktop-atom-ext.xsd")"
          R"( mime-type="application/octet-stream" format="zip" resolution="multiple")"
          R"( original-name="anna-2024-05-01-3.zip" entries="3" client-type="windows" />)"
          R"(</atom:entry>)");
}

TEST(package_writing, gives_the_exact_text_with_recipients_in_order) {
  package entry;
  entry.from = "anna@x.example";
  entry.subject = "Sun & sea";
  entry.message = "Two\nlines";
  entry.recipients = {"bob@y.example", "carl@z.example"};
  entry.media = "https://send.x.example/media/17";
  EXPECT_EQ(entry.to_xml(), declaration + entry_with_prefix + category("package") +
                                R"(<lm:from uid="anna@x.example" />)"
                                R"(<lm:subject>Sun &amp; sea</lm:subject>)"
                                "<lm:message>Two\nlines</lm:message>"
                                R"(<lm:recipient uid="bob@y.example" />)"
                                R"(<lm:recipient uid="carl@z.example" />)"
                                R"(<lm:media href="https://send.x.example/media/17" />)"
                                R"(</atom:entry>)");
}

TEST(package_writing, keeps_empty_elements) {
  EXPECT_EQ(package().to_xml(), declaration + entry_with_prefix + category("package") +
                                    R"(<lm:from uid="" /><lm:subject></lm:subject>)"
                                    R"(<lm:message></lm:message><lm:media href="" />)"
                                    R"(</atom:entry>)");
}

TEST(thumbnail_writing, gives_width_then_height) {
  EXPECT_EQ(thumbnail(160, 120).to_xml(),
            declaration + entry_with_prefix + category("thumbnail") +
                R"(<lm:resolution width="160" height="120" /></atom:entry>)");
}

TEST(entry_writing, uses_the_entry_own_namespaces_and_category) {
  thumbnail entry(1, 2);
  entry.set_namespace_uri("urn:a\"b");
  entry.extension_namespace = "urn:ext";
  entry.set_category_scheme("urn:s");
  entry.set_category_term("urn:t");
  EXPECT_EQ(entry.to_xml(), declaration +
                                R"(<atom:entry xmlns:atom="urn:a&quot;b" xmlns:lm="urn:ext" >)"
                                R"(<atom:category scheme="urn:s" term="urn:t"/>)"
                                R"(<lm:resolution width="1" height="2" /></atom:entry>)");
}

struct escape_case {
  const char* name;
  std::string value;
  std::string as_text;       // in the subject element
  std::string as_attribute;  // in the from element
};

class value_escaping : public testing::TestWithParam<escape_case> {};

TEST_P(value_escaping, keeps_the_document_well_formed) {
  const auto& c = GetParam();
  package entry;
  entry.subject = c.value;
  entry.from = c.value;
  const std::string xml = entry.to_xml();
  EXPECT_NE(xml.find("<lm:subject>" + c.as_text + "</lm:subject>"), std::string::npos) << xml;
  EXPECT_NE(xml.find("<lm:from uid=\"" + c.as_attribute + "\" />"), std::string::npos) << xml;
}

INSTANTIATE_TEST_SUITE_P(
    values, value_escaping,
    testing::Values(escape_case{"plain", "Holiday 2024", "Holiday 2024", "Holiday 2024"},
                    escape_case{"markup", "a & b < c > d", "a &amp; b &lt; c &gt; d",
                                "a &amp; b &lt; c &gt; d"},
                    escape_case{"cdata_end", "x]]>y", "x]]&gt;y", "x]]&gt;y"},
                    escape_case{"quotes", "say \"hi\" 'there'", "say \"hi\" 'there'",
                                "say &quot;hi&quot; 'there'"},
                    escape_case{"white_space", "a\tb\r\nc", "a\tb&#13;\nc", "a&#9;b&#13;&#10;c"},
                    escape_case{"forbidden_characters_dropped",
                                std::string("a\0b\x01\x1f\xef\xbf\xbe"
                                            "c",
                                            9),
                                "abc", "abc"},
                    escape_case{"non_ascii_kept", "Fjäll \xe2\x9b\xb0 \xf0\x9f\x8c\x84",
                                "Fjäll ⛰ 🌄", "Fjäll ⛰ 🌄"},
                    escape_case{"invalid_utf8_replaced",
                                "a\xff"
                                "b",
                                "a\xef\xbf\xbd"
                                "b",
                                "a\xef\xbf\xbd"
                                "b"}),
    test_support::row_name());

}  // namespace
