#include "core/atom/atom_entry_handler.hpp"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "core/atom/atom_entry_impl.hpp"
#include "core/atom/atom_namespace.hpp"
#include "core/xml_reader.hpp"
#include "tests/support/table.hpp"

namespace {

using core::atom::atom_entry_handler;
using core::atom::atom_entry_impl;

constexpr const char* atom_ns = "http://www.w3.org/2005/Atom";
constexpr const char* kind_scheme = "http://www.lumbrel.example/xsd/desktop/1.0/2009#kind";

// href, rel, type, title, length
using link_fields = std::tuple<std::string, std::string, std::string, std::string, std::int64_t>;

std::vector<link_fields> links_of(const core::atom::atom_entry& entry) {
  std::vector<link_fields> links;
  for (unsigned i = 0; i < entry.link_count(); ++i) {
    const auto& l = entry.link(i);
    links.emplace_back(l.href(), l.rel(), l.type(), l.title(), l.length());
  }
  return links;
}

void read(atom_entry_impl& entry, const std::string& document) {
  atom_entry_handler handler(&entry);
  core::xml_reader reader;
  reader.parse(&handler, document);
}

struct entry_case {
  const char* name;
  std::string document;
  std::string namespace_uri;
  std::string id;
  std::string title_type;
  std::string title;
  std::string category_scheme;
  std::string category_term;
  std::string content_type;
  std::string content;
  std::vector<link_fields> links;
};

class atom_entry_reading : public testing::TestWithParam<entry_case> {};

TEST_P(atom_entry_reading, fills_the_entry) {
  const auto& c = GetParam();
  atom_entry_impl entry;
  read(entry, c.document);
  EXPECT_EQ(entry.namespace_uri(), c.namespace_uri);
  EXPECT_EQ(entry.id(), c.id);
  EXPECT_EQ(entry.title_type(), c.title_type);
  EXPECT_EQ(entry.title(), c.title);
  EXPECT_EQ(entry.category_scheme(), c.category_scheme);
  EXPECT_EQ(entry.category_term(), c.category_term);
  EXPECT_EQ(entry.content_type(), c.content_type);
  EXPECT_EQ(entry.content(), c.content);
  EXPECT_EQ(links_of(entry), c.links);
}

INSTANTIATE_TEST_SUITE_P(
    documents, atom_entry_reading,
    testing::Values(
        entry_case{"default_namespace_and_trimmed_texts",
                   "<entry xmlns='http://www.w3.org/2005/Atom'><id> urn:m:1 </id>"
                   "<updated>2009-05-01T10:00:00Z</updated><title type='text'>\n Holiday \t</title>"
                   "<content type='text'>  three  words here\n</content></entry>",
                   atom_ns,
                   "urn:m:1",
                   "text",
                   "Holiday",
                   "",
                   "",
                   "text",
                   "three  words here",
                   {}},
        entry_case{"prefixed_entry_takes_the_atom_namespace",
                   "<a:entry xmlns:a='http://www.w3.org/2005/Atom'><a:id>7</a:id>"
                   "<a:link rel='edit' href='/media/7' type='application/atom+xml' title='t' "
                   "length='1234'/></a:entry>",
                   atom_ns,
                   "7",
                   "",
                   "",
                   "",
                   "",
                   "",
                   "",
                   {{"/media/7", "edit", "application/atom+xml", "t", 1234}}},
        entry_case{"declared_extension_namespace_is_kept",
                   "<a:entry xmlns:a='http://www.w3.org/2005/Atom' xmlns='urn:lumbrel:ext'>"
                   "<a:id>8</a:id><ticket>ignored</ticket></a:entry>",
                   "urn:lumbrel:ext",
                   "8",
                   "",
                   "",
                   "",
                   "",
                   "",
                   "",
                   {}},
        entry_case{"second_category_wins_and_a_missing_term_is_empty",
                   std::string("<entry xmlns='http://www.w3.org/2005/Atom'>"
                               "<category scheme='s1' term='t1'/><category scheme='") +
                       kind_scheme + "'/></entry>",
                   atom_ns,
                   "",
                   "",
                   "",
                   kind_scheme,
                   "",
                   "",
                   "",
                   {}},
        entry_case{"links_in_order_wherever_they_stand",
                   "<entry xmlns='http://www.w3.org/2005/Atom' xmlns:x='urn:other'>"
                   "<link href='/a' length='12ab'/><x:meta><x:v>no</x:v><link href='/b'/></x:meta>"
                   "<link/></entry>",
                   atom_ns,
                   "",
                   "",
                   "",
                   "",
                   "",
                   "",
                   "",
                   {{"/a", "", "", "", 0}, {"/b", "", "", "", 0}, {"", "", "", "", 0}}},
        entry_case{"xhtml_content_becomes_its_markup",
                   "<entry xmlns='http://www.w3.org/2005/Atom'><content type='xhtml'>"
                   "<div xmlns='http://www.w3.org/1999/xhtml'><p class='a&amp;b'>one <b>two</b> "
                   "three &lt; four</p></div></content></entry>",
                   atom_ns,
                   "",
                   "",
                   "",
                   "",
                   "",
                   "xhtml",
                   "<div xmlns=\"http://www.w3.org/1999/xhtml\"><p class=\"a&amp;b\">one<b>two</b>"
                   "three &lt; four</p></div>",
                   {}},
        entry_case{
            "xhtml_outside_content_stays_out_of_it",
            "<entry xmlns='http://www.w3.org/2005/Atom' xmlns:h='http://www.w3.org/1999/xhtml'>"
            "<title type='xhtml'><h:div>Old <h:i>notes</h:i></h:div></title>"
            "<content type='xhtml'><h:div>New notes</h:div></content></entry>",
            atom_ns,
            "",
            "xhtml",
            "",
            "",
            "",
            "xhtml",
            "<div>New notes</div>",
            {}},
        entry_case{"author_and_foreign_elements_are_ignored",
                   "<entry xmlns='http://www.w3.org/2005/Atom'><author><name>N</name></author>"
                   "<x:title xmlns:x='urn:other'>not ours</x:title><title>ours</title></entry>",
                   atom_ns,
                   "",
                   "",
                   "ours",
                   "",
                   "",
                   "",
                   "",
                   {}}),
    test_support::row_name());

TEST(atom_entry_reading, a_reused_target_starts_from_its_defaults) {
  atom_entry_impl entry;
  entry.set_id("old");
  entry.set_content("old notes");
  entry.add_link().set_href("/old");
  read(entry, "<entry xmlns='http://www.w3.org/2005/Atom'><link href='/new'/></entry>");
  EXPECT_EQ(entry.id(), "");
  EXPECT_EQ(entry.content(), "");
  EXPECT_EQ(links_of(entry), (std::vector<link_fields>{{"/new", "", "", "", 0}}));
}

TEST(atom_entry_model, link_past_the_end_throws_and_changes_nothing) {
  atom_entry_impl entry;
  entry.add_link().set_href("/a");
  try {
    static_cast<void>(entry.link(1));
    FAIL() << "found a second link";
  } catch (const std::invalid_argument& e) {
    EXPECT_STREQ(e.what(), "Cannot get the link. Index is out of range.");
  }
  EXPECT_EQ(entry.link_count(), 1u);
  EXPECT_FALSE(entry.empty()) << "the Atom namespace is a default";
  entry.clear();
  EXPECT_EQ(entry.link_count(), 0u);
  EXPECT_EQ(entry.namespace_uri(), core::atom::atom_namespace_uri);
}

}  // namespace
