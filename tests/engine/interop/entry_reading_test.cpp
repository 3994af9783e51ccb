#include <gtest/gtest.h>

#include <string>

#include "core/xml/xml_exception.hpp"
#include "engine/interop/media.hpp"
#include "engine/interop/package.hpp"
#include "engine/interop/thumbnail.hpp"
#include "engine/interop/ticket.hpp"
#include "tests/support/expect_error.hpp"

namespace {

using namespace parvel::interop;
using test_support::expect_error;

const std::string open_entry =
    "<entry xmlns='http://www.w3.org/2005/Atom' "
    "xmlns:lm='http://www.lumbrel.example/xsd/desktop/1.0/desktop-atom-ext.xsd'>";

std::string parse_failure(const std::string& reason) {
  return "MSXMLError: Cannot parse the xml-document: " + reason + " [0x80004005]";
}

TEST(media_reading, takes_the_service_answer_and_its_first_link) {
  const media read = media::parse(
      open_entry +
      "<id>urn:m:9</id><link rel='edit' href='https://s.example/media/9'/>"
      "<link href='https://s.example/other'/>"
      "<x:media xmlns:x='http://www.lumbrel.example/xsd/desktop/1.0/desktop-atom-ext.xsd' "
      "xmlns:lm='urn:answer' format='zip' entries='12'><x:extra a='1'>x</x:extra>"
      "</x:media></entry>");
  EXPECT_EQ(read.id(), "urn:m:9");
  ASSERT_EQ(read.link_count(), 2u);
  EXPECT_EQ(read.link(0).href(), "https://s.example/media/9");
  EXPECT_EQ(read.extension_namespace, "urn:answer");
  EXPECT_EQ(read.format, "zip");
  EXPECT_EQ(read.mime_type, "");
  EXPECT_EQ(read.entries, 12u);
}

TEST(media_reading, entries_are_unsigned_decimal_only) {
  struct row {
    const char* attribute;  // as written, or none
    std::uint32_t value;
  };
  for (const row& r :
       {row{"", 0}, row{"entries='0042'", 42}, row{"entries='4294967295'", 4294967295u}}) {
    EXPECT_EQ(media::parse(open_entry + "<lm:media " + r.attribute + "/></entry>").entries,
              r.value);
  }
  for (const char* attribute :
       {"entries='three'", "entries=''", "entries='-1'", "entries='4294967296'"}) {
    SCOPED_TRACE(attribute);
    expect_error<core::msxml_exception>(
        [&] { media::parse(open_entry + "<lm:media " + attribute + "/></entry>"); },
        parse_failure("Cannot parse 'media': bad lexical cast: source type value could not be "
                      "interpreted as target"));
  }
}

TEST(package_reading, trims_texts_and_ignores_what_it_does_not_know) {
  const package read = package::parse(
      open_entry +
      "<lm:from uid='anna@x.example'/><lm:subject>  Holiday \n</lm:subject>"
      "<lm:message>first<lm:b>bold</lm:b> last </lm:message>"
      "<lm:recipient uid='b@y.example'/><lm:recipient/><lm:unknown uid='z'>text</lm:unknown>"
      "<title> Atom title </title><lm:media href='https://s.example/m/1'/></entry>");
  EXPECT_EQ(read.from, "anna@x.example");
  EXPECT_EQ(read.subject, "Holiday");
  EXPECT_EQ(read.message, "last");  // the last piece around a child element
  EXPECT_EQ(read.recipients, (std::vector<std::string>{"b@y.example", ""}));
  EXPECT_EQ(read.title(), "Atom title");
  EXPECT_EQ(read.media, "https://s.example/m/1");
  expect_error<std::invalid_argument>([&] { read.recipient(2); },
                                      "package accout index is out of range.");
}

TEST(ticket_reading, takes_the_trimmed_text_and_type_of_its_own_namespace) {
  const ticket read =
      ticket::parse(open_entry +
                    "<category term='x'/><lm:ticket type='upload'>\n   https://s.example/put/1 \r\n"
                    "</lm:ticket></entry>");
  EXPECT_EQ(read.type, "upload");
  EXPECT_EQ(read.value, "https://s.example/put/1");
  EXPECT_EQ(read.category_term(), "x");
  const ticket other =
      ticket::parse(open_entry + "<t:ticket xmlns:t='urn:other' type='a'>b</t:ticket></entry>");
  EXPECT_EQ(other.type + other.value, "");
}

TEST(entry_reading, a_body_that_is_not_xml_fails) {
  const std::string not_xml = "MSXMLError: Cannot parse the xml-document:  [0x3]";
  expect_error<core::msxml_exception>([] { thumbnail::parse("<html>503 Service Unavailable"); },
                                      not_xml);
  expect_error<core::msxml_exception>([] { ticket::parse(""); }, not_xml);
}

}  // namespace
