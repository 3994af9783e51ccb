#include "core/atom/atom_feed_handler.hpp"

#include <gtest/gtest.h>

#include "core/atom/atom_author_impl.hpp"
#include "core/update/update_feed.hpp"
#include "core/xml_reader.hpp"
#include "tests/support/table.hpp"

namespace {

using core::atom::atom_feed_handler;

// The feed interface's one implementation is the update feed.
using feed_type = core::update::update_feed;

void read(feed_type& feed, const std::string& document) {
  atom_feed_handler handler(&feed);
  core::xml_reader reader;
  reader.parse(&handler, document);
}

struct feed_case {
  const char* name;
  std::string document;
  std::string namespace_uri;
  std::string title;
  std::string subtitle;
  std::string author;
  unsigned links;
  std::vector<std::string> entry_titles;
};

class atom_feed_reading : public testing::TestWithParam<feed_case> {};

TEST_P(atom_feed_reading, fills_the_feed) {
  const auto& c = GetParam();
  feed_type feed;
  read(feed, c.document);
  EXPECT_EQ(feed.namespace_uri(), c.namespace_uri);
  EXPECT_EQ(feed.title(), c.title);
  EXPECT_EQ(feed.subtitle(), c.subtitle);
  EXPECT_EQ(feed.author().name() + "|" + feed.author().email() + "|" + feed.author().uri(),
            c.author);
  EXPECT_EQ(feed.link_count(), c.links);
  std::vector<std::string> titles;
  for (unsigned i = 0; i < feed.entry_count(); ++i) {
    titles.push_back(feed.entry(i).title());
  }
  EXPECT_EQ(titles, c.entry_titles);
}

INSTANTIATE_TEST_SUITE_P(
    documents, atom_feed_reading,
    testing::Values(
        feed_case{"declared_default_namespace",
                  "<feed xmlns='http://www.w3.org/2005/Atom'><title type='text'> Updates </title>"
                  "<subtitle>Lumbrel</subtitle><id>urn:feed</id><link rel='self' href='/f'/>"
                  "<author><name> Lumbrel </name><email>support@lumbrel.example</email>"
                  "<uri>https://www.lumbrel.example/</uri></author>"
                  "<entry><title>1.0</title></entry><entry><title>1.1</title></entry></feed>",
                  "http://www.w3.org/2005/Atom",
                  "Updates",
                  "Lumbrel",
                  "Lumbrel|support@lumbrel.example|https://www.lumbrel.example/",
                  1,
                  {"1.0", "1.1"}},
        feed_case{"prefixed_feed_with_foreign_elements",
                  "<a:feed xmlns:a='http://www.w3.org/2005/Atom' xmlns:x='urn:other'>"
                  "<a:title>T</a:title><x:generator version='1'>Lumbrel <x:b>tools</x:b>"
                  "</x:generator><a:entry><a:title>E</a:title></a:entry></a:feed>",
                  "http://www.w3.org/2005/Atom",
                  "T",
                  "",
                  "||",
                  0,
                  {"E"}},
        feed_case{"author_inside_an_entry_is_not_the_feeds",
                  "<feed xmlns='http://www.w3.org/2005/Atom'><entry><title>E</title>"
                  "<author><name>Someone</name></author><link href='/e'/></entry></feed>",
                  "http://www.w3.org/2005/Atom",
                  "",
                  "",
                  "||",
                  0,
                  {"E"}}),
    test_support::row_name());

TEST(atom_feed_reading, entry_links_belong_to_their_entry) {
  feed_type feed;
  read(feed,
       "<feed xmlns='http://www.w3.org/2005/Atom'><link href='/feed'/>"
       "<entry><link href='/one'/><link href='/two'/></entry></feed>");
  ASSERT_EQ(feed.entry_count(), 1u);
  EXPECT_EQ(feed.link(0).href(), "/feed");
  EXPECT_EQ(feed.entry(0).link_count(), 2u);
  EXPECT_EQ(feed.entry(0).link(1).href(), "/two");
}

TEST(atom_feed_model, indexes_past_the_end_throw) {
  feed_type feed;
  try {
    static_cast<void>(feed.entry(0));
    FAIL() << "found an entry";
  } catch (const std::invalid_argument& e) {
    EXPECT_STREQ(e.what(), "Cannot get the entry. Index is out of range.");
  }
  try {
    static_cast<void>(feed.link(0));
    FAIL() << "found a link";
  } catch (const std::invalid_argument& e) {
    EXPECT_STREQ(e.what(), "Cannot get the link. Index is out of range.");
  }
}

TEST(atom_feed_model, set_author_copies_the_person) {
  core::atom::atom_author_impl person;
  person.set_name("N");
  person.set_email("e@x");
  person.set_uri("u");
  feed_type feed;
  feed.set_author(person);
  person.clear();
  EXPECT_EQ(feed.author().name(), "N");
  EXPECT_EQ(feed.author().email(), "e@x");
  EXPECT_EQ(feed.author().uri(), "u");
  EXPECT_TRUE(person.empty());
}

}  // namespace
