#include "core/atom/atom_entry_handler.hpp"

#include <gtest/gtest.h>

#include <vector>

#include "core/atom/atom_entry_impl.hpp"
#include "core/atom/atom_namespace.hpp"
#include "core/xml/xml_reader.hpp"
#include "tests/support/expect_error.hpp"

namespace {

using core::atom::atom_entry_impl;

// The entry's parts that are not empty, one "name=value" each; the namespace
// only when it is not Atom's; a link as "link=href|rel|type|title|length".
std::vector<std::string> parts_of(const core::atom::atom_entry& entry) {
  std::vector<std::string> parts;
  if (entry.namespace_uri() != core::atom::atom_namespace_uri) {
    parts.push_back("namespace=" + entry.namespace_uri());
  }
  const std::pair<const char*, const std::string*> texts[] = {
      {"id", &entry.id()},
      {"title_type", &entry.title_type()},
      {"title", &entry.title()},
      {"scheme", &entry.category_scheme()},
      {"term", &entry.category_term()},
      {"content_type", &entry.content_type()},
      {"content", &entry.content()}};
  for (const auto& [name, value] : texts) {
    if (!value->empty()) {
      parts.push_back(std::string(name) + "=" + *value);
    }
  }
  for (unsigned i = 0; i < entry.link_count(); ++i) {
    const auto& l = entry.link(i);
    parts.push_back("link=" + l.href() + "|" + l.rel() + "|" + l.type() + "|" + l.title() + "|" +
                    std::to_string(l.length()));
  }
  return parts;
}

void read(atom_entry_impl& entry, const std::string& document) {
  core::atom::atom_entry_handler handler(&entry);
  core::xml_reader reader;
  reader.parse(&handler, document);
}

TEST(atom_entry_reading, fills_the_entry) {
  const std::string kind_scheme = "http://www.lumbrel.example/xsd/desktop/1.0/2009#kind";
  const struct {
    const char* name;
    std::string document;
    std::vector<std::string> parts;
  } cases[] = {{"default_namespace_and_trimmed_texts",
                "<entry xmlns='http://www.w3.org/2005/Atom'><id> urn:m:1 </id>"
                "<updated>2009-05-01T10:00:00Z</updated><title type='text'>\n Holiday \t</title>"
                "<content type='text'>  three  words here\n</content></entry>",
                {"id=urn:m:1", "title_type=text", "title=Holiday", "content_type=text",
                 "content=three  words here"}},
               {"prefixed_entry_takes_the_atom_namespace",
                "<a:entry xmlns:a='http://www.w3.org/2005/Atom'><a:id>7</a:id>"
                "<a:link rel='edit' href='/media/7' type='application/atom+xml' title='t' "
                "length='1234'/></a:entry>",
                {"id=7", "link=/media/7|edit|application/atom+xml|t|1234"}},
               {"declared_extension_namespace_is_kept",
                "<a:entry xmlns:a='http://www.w3.org/2005/Atom' xmlns='urn:lumbrel:ext'>"
                "<a:id>8</a:id><ticket>ignored</ticket></a:entry>",
                {"namespace=urn:lumbrel:ext", "id=8"}},
               {"second_category_wins_and_a_missing_term_is_empty",
                "<entry xmlns='http://www.w3.org/2005/Atom'><category scheme='s1' term='t1'/>"
                "<category scheme='" +
                    kind_scheme + "'/></entry>",
                {"scheme=" + kind_scheme}},
               {"links_in_order_wherever_they_stand",
                "<entry xmlns='http://www.w3.org/2005/Atom' xmlns:x='urn:other'>"
                "<link href='/a' length='12ab'/><x:meta><x:v>no</x:v><link href='/b'/></x:meta>"
                "<link/></entry>",
                {"link=/a||||0", "link=/b||||0", "link=||||0"}},
               {"xhtml_content_becomes_its_markup_escaped_again",
                "<entry xmlns='http://www.w3.org/2005/Atom'><content type='xhtml'>"
                "<div xmlns='http://www.w3.org/1999/xhtml'><p z='1' class='a&amp;b\"&lt;'>one "
                "<b>two</b> three &lt; \"four\" &gt;<br/></p></div></content></entry>",
                {"content_type=xhtml",
                 "content=<div xmlns=\"http://www.w3.org/1999/xhtml\"><p class=\"a&amp;b&quot;"
                 "&lt;\" z=\"1\">one<b>two</b>three &lt; \"four\" &gt;<br></br></p></div>"}},
               {"xhtml_outside_content_stays_out_of_it",
                "<entry xmlns='http://www.w3.org/2005/Atom' xmlns:h='http://www.w3.org/1999/xhtml'>"
                "<title type='xhtml'><h:div>Old <h:i>notes</h:i></h:div></title>"
                "<content type='xhtml'><h:div>New notes</h:div></content></entry>",
                {"title_type=xhtml", "content_type=xhtml", "content=<div>New notes</div>"}},
               {"author_and_foreign_elements_are_ignored",
                "<entry xmlns='http://www.w3.org/2005/Atom'><author><name>N</name></author>"
                "<x:title xmlns:x='urn:other'>not ours</x:title><title>ours</title></entry>",
                {"title=ours"}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    atom_entry_impl entry;
    read(entry, c.document);
    EXPECT_EQ(parts_of(entry), c.parts);
  }
}

TEST(atom_entry_reading, a_reused_target_starts_from_its_defaults) {
  atom_entry_impl entry;
  entry.set_id("old");
  entry.set_content("old notes");
  entry.add_link().set_href("/old");
  read(entry, "<entry xmlns='http://www.w3.org/2005/Atom'><link href='/new'/></entry>");
  EXPECT_EQ(parts_of(entry), std::vector<std::string>{"link=/new||||0"});
}

TEST(atom_entry_model, link_past_the_end_throws_and_changes_nothing) {
  atom_entry_impl entry;
  entry.add_link().set_href("/a");
  test_support::expect_error<std::invalid_argument>([&] { static_cast<void>(entry.link(1)); },
                                                    "Cannot get the link. Index is out of range.");
  EXPECT_EQ(entry.link_count(), 1u);
}

}  // namespace
