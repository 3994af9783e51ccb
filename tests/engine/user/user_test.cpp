#include "engine/user/user.hpp"

#include <gtest/gtest.h>

#include <filesystem>

#include "engine/photos/local_date.hpp"
#include "engine/photos/package_info.hpp"
#include "engine/user/user_config.hpp"
#include "tests/support/table.hpp"
#include "tests/support/temp_folder.hpp"

namespace {

namespace fs = std::filesystem;
using strings = std::vector<std::string>;

// The user is made once a process, from the file stored before its first use.
parvel::user& the_user() {
  static parvel::user* const user = [] {
    parvel::user_config stored;
    stored.email = "photos@x.example";
    stored.contacts = {"pan", "banana", "ant"};
    stored.value = 3;
    parvel::save_config(stored);
    return parvel::user::instance().get();
  }();
  return *user;
}

TEST(user, starts_from_the_config_file) {
  auto package = the_user().get_package();
  EXPECT_EQ(package->sender, "photos@x.example");
  EXPECT_EQ(package->counter, 3);
  EXPECT_EQ(package->archive_name, "photos-" + parvel::today_iso_date() + "-0.zip")
      << "named before the counter is read";
  EXPECT_EQ(the_user().contacts, (strings{"ant", "banana", "pan"}));
}

TEST(user, relays_the_photo_sets_signals) {
  int added = 0, removed = 0, renamed = 0;
  std::string sender;
  boost::signals2::scoped_connection a = the_user().signal_photos_added.connect([&] { ++added; });
  boost::signals2::scoped_connection r =
      the_user().signal_photos_removed.connect([&] { ++removed; });
  boost::signals2::scoped_connection n =
      the_user().signal_rename_changed.connect([&] { ++renamed; });
  boost::signals2::scoped_connection s =
      the_user().signal_sender_changed.connect([&](const std::string& text) { sender = text; });
  auto package = the_user().get_package();
  package->add_entries({parvel::photo_entry{"/x/a.jpg"}});
  package->clear_photos();
  package->signal_rename_changed();
  package->signal_sender_changed("new@x");
  EXPECT_EQ(added, 1);
  EXPECT_EQ(removed, 1);
  EXPECT_EQ(renamed, 1);
  EXPECT_EQ(sender, "new@x");
}

struct find_case {
  const char* name;
  strings contacts;
  const char* text;
  strings found;
};

class contact_lookup : public testing::TestWithParam<find_case> {};

TEST_P(contact_lookup, puts_prefix_matches_first) {
  const auto& c = GetParam();
  the_user().contacts = c.contacts;
  strings found{"kept"};
  the_user().find_contacts(c.text, found);
  found.erase(found.begin());
  EXPECT_EQ(found, c.found);
  EXPECT_EQ(the_user().has_contact(c.text), !c.found.empty());
}

INSTANTIATE_TEST_SUITE_P(
    texts, contact_lookup,
    testing::Values(
        find_case{"prefix_then_inside", {"banana", "ant", "pan"}, "an", {"ant", "banana", "pan"}},
        find_case{"empty_text_gives_all", {"b", "a"}, "", {"b", "a"}},
        find_case{"case_matters", {"Ann@x"}, "ann", {}},
        find_case{"part_of_an_address", {"me@example.com"}, "ample", {"me@example.com"}},
        find_case{"no_contacts", {}, "", {}}),
    test_support::row_name());

TEST(user, removing_a_contact_removes_every_copy_and_always_signals) {
  the_user().contacts = {"a", "b", "a", "c"};
  int removed = 0;
  boost::signals2::scoped_connection c =
      the_user().signal_contact_removed.connect([&] { ++removed; });
  the_user().remove_contact("a");
  the_user().remove_contact("zzz");
  EXPECT_EQ(the_user().contacts, (strings{"b", "c"}));
  EXPECT_EQ(removed, 2);
}

}  // namespace
