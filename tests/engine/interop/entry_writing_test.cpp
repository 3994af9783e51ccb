#include <gtest/gtest.h>

#include <string>

#include "engine/interop/package.hpp"
#include "engine/interop/thumbnail.hpp"
#include "tests/support/table.hpp"

namespace {

using namespace parvel::interop;

// The media and package entries are checked byte for byte as the service
// receives them, in the upload tests.
const std::string declaration = R"(<?xml version="1.0" encoding="utf-8" ?>)";

TEST(entry_writing, thumbnail_gives_width_then_height) {
  EXPECT_EQ(thumbnail(160, 120).to_xml(),
            declaration +
                R"(<atom:entry xmlns:atom="http://www.w3.org/2005/Atom" )"
                R"(xmlns:lm="http://www.lumbrel.example/xsd/desktop/1.0/desktop-atom-ext.xsd" >)"
                R"(<atom:category scheme="http://www.lumbrel.example/xsd/desktop/1.0/2009#kind" )"
                R"(term="http://www.lumbrel.example/xsd/desktop/1.0/2009#thumbnail"/>)"
                R"(<lm:resolution width="160" height="120" /></atom:entry>)");
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
    testing::Values(escape_case{"markup", "a & b < c > d", "a &amp; b &lt; c &gt; d",
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
