#include "core/update/update_feed_handler.hpp"

#include <gtest/gtest.h>

#include "core/xml/xml_reader.hpp"
#include "tests/support/expect_error.hpp"

namespace {

using core::update::update_feed;

void read(update_feed& feed, const std::string& document) {
  core::update::update_feed_handler handler(&feed);
  core::xml_reader reader;
  reader.parse(&handler, document);
}

std::string feed_of(const std::string& entries) {
  return "<feed xmlns='http://www.w3.org/2005/Atom' "
         "xmlns:u='http://www.lumbrel.example/schemas/appsyndication/2009'>"
         "<title>Lumbrel Send Photo</title><link rel='self' href='/content/parvel.feed.xml'/>" +
         entries + "</feed>";
}

// "version|status", then "|platform href" for each link.
std::string summary_of(const core::update::update_entry& entry) {
  std::string text = entry.version() + "|" + entry.status();
  for (unsigned i = 0; i < entry.link_count(); ++i) {
    text += "|" + entry.link_value(i).platform() + " " + entry.link(i).href();
  }
  return text;
}

TEST(update_feed_reading, fills_the_extension_parts_of_each_entry) {
  const struct {
    const char* name;
    std::string entries;
    std::string summary;  // the entries' summaries joined by "; "
  } cases[] = {{"critical_release_for_x86",
                "<entry><title>2.1</title><u:version>2.1.0.7</u:version>"
                "<u:status type='critical'/><link rel='enclosure' platform='X86' "
                "href='https://www.lumbrel.example/setup.exe' length='1024'/></entry>",
                "2.1.0.7|critical|X86 https://www.lumbrel.example/setup.exe"},
               {"status_text_ignored_and_version_trimmed",
                "<entry><u:version>\n  1.0.0.1 </u:version><u:status>critical</u:status>"
                "<link href='/a'/></entry>",
                "1.0.0.1|| /a"},
               {"foreign_extension_elements_ignored",
                "<entry xmlns:x='urn:other'><x:version>9.9.9.9</x:version>"
                "<u:channel>beta</u:channel><u:version>1.2.3.4</u:version>"
                "<link platform='X86' href='/d'/></entry>",
                "1.2.3.4||X86 /d"},
               {"entries_and_links_keep_document_order",
                "<entry><u:version>1.0.0.0</u:version><link platform='X86' href='/1'/>"
                "</entry><entry><u:version>2.0.0.0</u:version><link href='/2a'/>"
                "<link platform='X86' href='/2b'/></entry>",
                "1.0.0.0||X86 /1; 2.0.0.0|| /2a|X86 /2b"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    update_feed feed;
    read(feed, feed_of(c.entries));
    std::string summaries;
    for (unsigned i = 0; i < feed.entry_count(); ++i) {
      summaries += (i == 0 ? "" : "; ") + summary_of(feed.entry_value(i));
    }
    EXPECT_EQ(summaries, c.summary);
  }
}

TEST(update_feed_reading, feed_parts_come_through_the_atom_reader) {
  update_feed feed;
  read(feed,
       "<a:feed xmlns:a='http://www.w3.org/2005/Atom' xmlns:x='urn:other'>"
       "<a:title type='text'> Updates </a:title><a:subtitle>Lumbrel</a:subtitle>"
       "<a:link href='/self'/><x:generator version='1'>tools <x:b>b</x:b></x:generator>"
       "<a:author><a:name> Lumbrel </a:name><a:email>support@lumbrel.example</a:email></a:author>"
       "<a:entry><a:author><a:name>Someone</a:name></a:author></a:entry><a:entry/></a:feed>");
  EXPECT_EQ(feed.title_type(), "text");
  EXPECT_EQ(feed.title(), "Updates");
  EXPECT_EQ(feed.subtitle(), "Lumbrel");
  EXPECT_EQ(feed.author().name(), "Lumbrel");
  EXPECT_EQ(feed.author().email(), "support@lumbrel.example");
  ASSERT_EQ(feed.link_count(), 1u);
  EXPECT_EQ(feed.link(0).href(), "/self");
  EXPECT_EQ(feed.entry_count(), 2u);
}

TEST(update_model, entry_past_the_end_throws) {
  update_feed feed;
  test_support::expect_error<std::invalid_argument>([&] { static_cast<void>(feed.entry(0)); },
                                                    "Cannot get the entry. Index is out of range.");
}

}  // namespace
