#include <gtest/gtest.h>

#include <string>

#include "core/xml_exception.hpp"
#include "engine/interop/media.hpp"
#include "engine/interop/package.hpp"
#include "engine/interop/thumbnail.hpp"
#include "engine/interop/ticket.hpp"
#include "tests/support/expect_error.hpp"
#include "tests/support/table.hpp"

namespace {

using namespace parvel::interop;
using test_support::expect_error;

const std::string open_entry =
    "<entry xmlns='http://www.w3.org/2005/Atom' "
    "xmlns:lm='http://www.lumbrel.example/xsd/desktop/1.0/desktop-atom-ext.xsd'>";

std::string parse_failure(const std::string& reason) {
  return "MSXMLError: Cannot parse the xml-document: " + reason + " [0x80004005]";
}

TEST(entry_round_trip, media_keeps_every_field) {
  media sent;
  sent.mime_type = "application/octet-stream";
  sent.format = "zip";
  sent.resolution = "multiple";
  sent.original_name = "a \"b\" <c> & d]]>\te\nf.zip";
  sent.entries = 4294967295u;
  sent.client_type = "windows";
  const media read = media::parse(sent.to_xml());
  EXPECT_EQ(read.category_scheme(), kind_scheme);
  EXPECT_EQ(read.category_term(), media_term);
  EXPECT_EQ(read.extension_namespace, extension_namespace_uri);
  EXPECT_EQ(read.mime_type, sent.mime_type);
  EXPECT_EQ(read.format, sent.format);
  EXPECT_EQ(read.resolution, sent.resolution);
  EXPECT_EQ(read.original_name, sent.original_name);
  EXPECT_EQ(read.entries, sent.entries);
  EXPECT_EQ(read.client_type, sent.client_type);
}

TEST(entry_round_trip, package_keeps_every_field) {
  package sent;
  sent.from = "anna@x.example";
  sent.subject = "Sun & <sea> ]]> \"here\"";
  sent.message = "Line one\r\nLine two\tend";
  sent.recipients = {"b@y.example", "", "c&d@z.example"};
  sent.media = "https://s.example/m/1?a=1&b=2";
  const package read = package::parse(sent.to_xml());
  EXPECT_EQ(read.category_term(), package_term);
  EXPECT_EQ(read.from, sent.from);
  EXPECT_EQ(read.subject, sent.subject);
  EXPECT_EQ(read.message, sent.message);
  EXPECT_EQ(read.recipients, sent.recipients);
  EXPECT_EQ(read.media, sent.media);
}

TEST(entry_round_trip, thumbnail_keeps_its_size) {
  const thumbnail read = thumbnail::parse(thumbnail(160, 120).to_xml());
  EXPECT_EQ(read.category_term(), thumbnail_term);
  EXPECT_EQ(read.width, 160u);
  EXPECT_EQ(read.height, 120u);
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

struct number_case {
  const char* name;
  std::string attribute;  // the entries attribute as written, or none
  std::uint32_t value;
  bool fails;
};

class media_entries : public testing::TestWithParam<number_case> {};

TEST_P(media_entries, reads_unsigned_decimal_only) {
  const auto& c = GetParam();
  const std::string body = open_entry + "<lm:media " + c.attribute + "/></entry>";
  if (c.fails) {
    expect_error<core::msxml_exception>(
        [&] { media::parse(body); },
        parse_failure("Cannot parse 'media': bad lexical cast: source type value could not be "
                      "interpreted as target"));
  } else {
    EXPECT_EQ(media::parse(body).entries, c.value);
  }
}

INSTANTIATE_TEST_SUITE_P(numbers, media_entries,
                         testing::Values(number_case{"absent", "", 0, false},
                                         number_case{"digits", "entries='0042'", 42, false},
                                         number_case{"largest", "entries='4294967295'", 4294967295u,
                                                     false},
                                         number_case{"letters", "entries='three'", 0, true},
                                         number_case{"empty", "entries=''", 0, true},
                                         number_case{"negative", "entries='-1'", 0, true},
                                         number_case{"blank_around", "entries=' 3'", 0, true},
                                         number_case{"too_large", "entries='4294967296'", 0, true}),
                         test_support::row_name());

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
}

TEST(package_reading, recipient_past_the_end_throws) {
  package entry;
  entry.recipients = {"b@y.example"};
  EXPECT_EQ(entry.recipient(0), "b@y.example");
  expect_error<std::invalid_argument>([&] { entry.recipient(1); },
                                      "package accout index is out of range.");
}

TEST(ticket_reading, takes_the_trimmed_text_and_type) {
  const ticket read =
      ticket::parse(open_entry +
                    "<category term='x'/><lm:ticket type='upload'>\n   https://s.example/put/1 \r\n"
                    "</lm:ticket></entry>");
  EXPECT_EQ(read.type, "upload");
  EXPECT_EQ(read.value, "https://s.example/put/1");
  EXPECT_EQ(read.category_term(), "x");
}

TEST(entry_reading, elements_of_another_namespace_are_not_extensions) {
  const ticket read =
      ticket::parse(open_entry + "<t:ticket xmlns:t='urn:other' type='a'>b</t:ticket></entry>");
  EXPECT_EQ(read.type, "");
  EXPECT_EQ(read.value, "");
}

TEST(entry_reading, a_body_that_is_not_xml_fails) {
  EXPECT_THROW(thumbnail::parse("<html>503 Service Unavailable"), core::msxml_exception);
  EXPECT_THROW(ticket::parse(""), core::msxml_exception);
}

}  // namespace
