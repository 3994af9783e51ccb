#include "core/tag_aggregator.hpp"

#include <gtest/gtest.h>

#include "core/xml_reader.hpp"
#include "tests/support/table.hpp"

namespace {

struct markup_case {
  std::string name;
  std::string document;
  std::string expected;
};

class tag_aggregator_markup : public testing::TestWithParam<markup_case> {};

TEST_P(tag_aggregator_markup, rebuilds_the_document) {
  core::tag_aggregator aggregator;
  core::xml_reader reader;
  reader.parse(&aggregator, GetParam().document);
  EXPECT_EQ(aggregator.str(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    documents, tag_aggregator_markup,
    testing::Values(
        markup_case{"attributes_in_byte_order", "<e z='1' a='2'/>", "<e a=\"2\" z=\"1\"></e>"},
        markup_case{"text_escaped_again", "<p>a &lt; b &amp; \"c\" &gt; d</p>",
                    "<p>a &lt; b &amp; \"c\" &gt; d</p>"},
        markup_case{"attribute_quotes_escaped", "<e a='x\"y&amp;&lt;'/>",
                    "<e a=\"x&quot;y&amp;&lt;\"></e>"},
        markup_case{"default_namespace_written_as_xmlns",
                    "<div xmlns='http://www.w3.org/1999/xhtml'><p>one <b>two</b></p></div>",
                    "<div xmlns=\"http://www.w3.org/1999/xhtml\"><p>one <b>two</b></p></div>"},
        markup_case{"element_prefixes_dropped", "<x:e xmlns:x='urn:x'><x:f/></x:e>",
                    "<e x=\"urn:x\"><f></f></e>"}),
    test_support::row_name());

}  // namespace
