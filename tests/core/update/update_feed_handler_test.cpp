#include "core/update/update_feed_handler.hpp"

#include <gtest/gtest.h>

#include <functional>

#include "core/update/update_enclosure.hpp"
#include "core/xml_exception.hpp"
#include "core/xml_reader.hpp"
#include "tests/support/table.hpp"

namespace {

using core::update::update_feed;
using core::update::update_feed_handler;

void read(update_feed& feed, const std::string& document) {
  update_feed_handler handler(&feed);
  core::xml_reader reader;
  reader.parse(&handler, document);
}

std::string feed_of(const std::string& entries) {
  return "<feed xmlns='http://www.w3.org/2005/Atom' "
         "xmlns:u='http://www.lumbrel.example/schemas/appsyndication/2009'>"
         "<title>Lumbrel Send Photo</title><link rel='self' href='/content/parvel.feed.xml'/>" +
         entries + "</feed>";
}

struct entry_case {
  const char* name;
  std::string entry;
  std::string version;
  std::string status;
  std::string platform;
  std::string href;
  std::string content_type;
  std::string content;
};

class update_entry_reading : public testing::TestWithParam<entry_case> {};

TEST_P(update_entry_reading, fills_the_extension_parts) {
  const auto& c = GetParam();
  update_feed feed;
  read(feed, feed_of(c.entry));
  ASSERT_EQ(feed.entry_count(), 1u);
  const auto& entry = feed.entry_value(0);
  EXPECT_EQ(entry.version(), c.version);
  EXPECT_EQ(entry.status(), c.status);
  ASSERT_EQ(entry.link_count(), 1u);
  EXPECT_EQ(entry.link_value(0).platform(), c.platform);
  EXPECT_EQ(entry.link(0).href(), c.href);
  EXPECT_EQ(entry.content_type(), c.content_type);
  EXPECT_EQ(entry.content(), c.content);
}

INSTANTIATE_TEST_SUITE_P(
    entries, update_entry_reading,
    testing::Values(
        entry_case{"critical_release_for_x86",
                   "<entry><title>2.1</title><u:version>2.1.0.7</u:version>"
                   "<u:status type='critical'/><link rel='enclosure' platform='X86' "
                   "href='https://www.lumbrel.example/setup.exe' length='1024'/></entry>",
                   "2.1.0.7", "critical", "X86", "https://www.lumbrel.example/setup.exe", "", ""},
        entry_case{"status_text_ignored_and_version_trimmed",
                   "<entry><u:version>\n  1.0.0.1 </u:version><u:status>critical</u:status>"
                   "<link href='/a'/></entry>",
                   "1.0.0.1", "", "", "/a", "", ""},
        entry_case{"empty_version_left_empty",
                   "<entry><u:version> </u:version><link platform='ARM' href='/b'/></entry>", "",
                   "", "ARM", "/b", "", ""},
        entry_case{"xhtml_release_notes",
                   "<entry><u:version>3.0.0.0</u:version><link platform='X86' href='/c'/>"
                   "<content type='xhtml'><div xmlns='http://www.w3.org/1999/xhtml'>"
                   "<p>Faster <b>uploads</b></p></div></content></entry>",
                   "3.0.0.0", "", "X86", "/c", "xhtml",
                   "<div xmlns=\"http://www.w3.org/1999/xhtml\"><p>Faster<b>uploads</b></p></div>"},
        entry_case{"foreign_extension_elements_ignored",
                   "<entry xmlns:x='urn:other'><x:version>9.9.9.9</x:version>"
                   "<u:channel>beta</u:channel><u:version>1.2.3.4</u:version>"
                   "<link platform='X86' href='/d'/></entry>",
                   "1.2.3.4", "", "X86", "/d", "", ""}),
    test_support::row_name());

TEST(update_feed_reading, entries_and_links_keep_document_order) {
  update_feed feed;
  read(feed, feed_of("<entry><u:version>1.0.0.0</u:version><link platform='X86' href='/1'/>"
                     "</entry><entry><u:version>2.0.0.0</u:version><link href='/2a'/>"
                     "<link platform='X86' href='/2b'/></entry>"));
  EXPECT_EQ(feed.title(), "Lumbrel Send Photo");
  ASSERT_EQ(feed.link_count(), 1u);
  EXPECT_EQ(feed.link_value(0).platform(), "");
  ASSERT_EQ(feed.entry_count(), 2u);
  EXPECT_EQ(feed.entry_value(0).version(), "1.0.0.0");
  const auto& second = feed.entry_value(1);
  EXPECT_EQ(second.version(), "2.0.0.0");
  ASSERT_EQ(second.link_count(), 2u);
  EXPECT_EQ(second.link_value(1).platform(), "X86");
  EXPECT_EQ(second.link(1).href(), "/2b");
}

TEST(update_feed_reading, feed_parts_come_through_the_atom_reader) {
  update_feed feed;
  read(feed,
       "<a:feed xmlns:a='http://www.w3.org/2005/Atom' xmlns:x='urn:other'>"
       "<a:title type='text'> Updates </a:title><a:subtitle>Lumbrel</a:subtitle>"
       "<x:generator version='1'>tools <x:b>b</x:b></x:generator><a:author><a:name> Lumbrel "
       "</a:name><a:email>support@lumbrel.example</a:email></a:author>"
       "<a:entry><a:author><a:name>Someone</a:name></a:author></a:entry></a:feed>");
  EXPECT_EQ(feed.namespace_uri(), "http://www.w3.org/2005/Atom");
  EXPECT_EQ(feed.title_type(), "text");
  EXPECT_EQ(feed.title(), "Updates");
  EXPECT_EQ(feed.subtitle(), "Lumbrel");
  EXPECT_EQ(feed.author().name(), "Lumbrel");
  EXPECT_EQ(feed.author().email(), "support@lumbrel.example");
  EXPECT_EQ(feed.entry_count(), 1u);
}

TEST(update_feed_reading, malformed_feed_is_refused) {
  update_feed feed;
  try {
    read(feed, feed_of("<entry><u:version>1.0</entry>"));
    FAIL() << "read a malformed feed";
  } catch (const core::msxml_exception& e) {
    EXPECT_STREQ(e.what(), "MSXMLError: Cannot parse the xml-document:  [0x7]");
  }
}

TEST(update_model, indexes_past_the_end_throw_and_defaults_hold) {
  update_feed feed;
  for (const auto& [get, text] : {std::pair<std::function<void()>, const char*>{
                                      [&] { static_cast<void>(feed.entry(0)); },
                                      "Cannot get the entry. Index is out of range."},
                                  {[&] { static_cast<void>(feed.link(0)); },
                                   "Cannot get the link. Index is out of range."}}) {
    try {
      get();
      ADD_FAILURE() << "no exception: " << text;
    } catch (const std::invalid_argument& e) {
      EXPECT_STREQ(e.what(), text);
    }
  }
  EXPECT_FALSE(feed.empty()) << "the extension namespace is a default";
  EXPECT_FALSE(core::update::update_entry().empty());
  EXPECT_EQ(core::update::update_entry().namespace_uri(), "");
  EXPECT_EQ(core::update::update_enclosure().version, core::version{});
}

}  // namespace
