#include "engine/user/user.hpp"

#include <gtest/gtest.h>

#include "engine/photos/local_date.hpp"
#include "engine/photos/package_info.hpp"
#include "engine/user/user_config.hpp"

namespace {

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
  std::string seen;
  auto& u = the_user();
  boost::signals2::scoped_connection connections[] = {
      u.signal_photos_added.connect([&] { seen += "added "; }),
      u.signal_photos_removed.connect([&] { seen += "removed "; }),
      u.signal_rename_changed.connect([&] { seen += "renamed "; }),
      u.signal_sender_changed.connect([&](const std::string& text) { seen += text; })};
  auto package = u.get_package();
  package->add_entries({parvel::photo_entry{"/x/a.jpg"}});
  package->clear_photos();
  package->signal_rename_changed();
  package->signal_sender_changed("new@x");
  EXPECT_EQ(seen, "added removed renamed new@x");
}

TEST(user, finds_contacts_with_prefix_matches_first) {
  struct row {
    strings contacts;
    const char* text;
    strings found;
  };
  for (const row& r :
       {row{{"banana", "ant", "pan"}, "an", {"ant", "banana", "pan"}},
        row{{"b", "a"}, "", {"b", "a"}}, row{{"Ann@x"}, "ann", {}}, row{{}, "", {}}}) {
    SCOPED_TRACE(r.text);
    the_user().contacts = r.contacts;
    strings found{"kept"};
    the_user().find_contacts(r.text, found);
    found.erase(found.begin());
    EXPECT_EQ(found, r.found);
    EXPECT_EQ(the_user().has_contact(r.text), !r.found.empty());
  }
}

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
