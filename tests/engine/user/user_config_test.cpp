#include "engine/user/user_config.hpp"

#include <gtest/gtest.h>

#include <boost/date_time/gregorian/gregorian.hpp>
#include <filesystem>

#include "engine/photos/local_date.hpp"
#include "tests/support/log_capture.hpp"
#include "tests/support/table.hpp"
#include "tests/support/temp_folder.hpp"
#include "tests/support/unreadable_file.hpp"

namespace {

namespace fs = std::filesystem;
using strings = std::vector<std::string>;

// Every test gets its own local application-data folder.
class config_file : public testing::Test {
 protected:
  test_support::temp_folder data_;
  test_support::scoped_env env_{"XDG_DATA_HOME", data_.path().string()};
  test_support::log_capture capture_;
};

TEST_F(config_file, round_trips_texts_that_need_escaping) {
  parvel::user_config saved;
  saved.email = "Zoë \"Z\" <z&z@x.example>";
  saved.contacts = {"b@x.example", "a&b@x.example", "tab\there@x", "<ü@x>"};
  saved.value = 7;
  parvel::save_config(saved);

  const std::string file = test_support::read_file(parvel::config_path());
  EXPECT_EQ(parvel::config_path(), data_.file("Lumbrel Send Photo/parvel.config"));
  EXPECT_EQ(file.find('\n'), std::string::npos) << "one line";
  EXPECT_EQ(
      file.rfind(
          R"(<?xml version="1.0" encoding="utf-8"?><user email="Zoë &quot;Z&quot; &lt;z&amp;z@x.example&gt;"><contacts>)",
          0),
      0u)
      << file;

  const auto loaded = parvel::user_config::load();
  EXPECT_EQ(loaded.email, saved.email);
  EXPECT_EQ(loaded.contacts, (strings{"<ü@x>", "a&b@x.example", "b@x.example", "tab\there@x"}));
  EXPECT_EQ(loaded.value, 7);
  EXPECT_EQ(capture_.text(), "");
  EXPECT_EQ(fs::status(parvel::config_path()).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);
}

// "<email> [<contacts>] <value>"
std::string summary(const parvel::user_config& record) {
  std::string contacts;
  for (std::size_t i = 0; i < record.contacts.size(); ++i) {
    contacts += (i == 0 ? "" : ",") + record.contacts[i];
  }
  return record.email + " [" + contacts + "] " + std::to_string(record.value);
}

struct load_case {
  const char* name;
  std::string document;    // empty: no file
  std::string read;        // its summary
  std::string log_prefix;  // empty: nothing logged
};

class config_load : public config_file, public testing::WithParamInterface<load_case> {};

TEST_P(config_load, keeps_what_was_read) {
  const auto& c = GetParam();
  if (!c.document.empty()) {
    fs::create_directories(fs::path(parvel::config_path()).parent_path());
    test_support::write_file(parvel::config_path(), c.document);
  }
  const auto record = parvel::user_config::load();
  EXPECT_EQ(summary(record), c.read);
  EXPECT_EQ(record.date, parvel::today_iso_date());
  if (c.log_prefix.empty()) {
    EXPECT_EQ(capture_.text(), "");
  } else {
    ASSERT_EQ(capture_.lines().size(), 1u) << capture_.text();
    EXPECT_EQ(capture_.lines()[0].rfind(c.log_prefix, 0), 0u) << capture_.lines()[0];
  }
}

const std::string today = parvel::today_iso_date();
const std::string yesterday = boost::gregorian::to_iso_extended_string(
    boost::gregorian::day_clock::local_day() - boost::gregorian::days(1));
const std::string load_failed = "parvel [error] - user_config::load failed: '";

INSTANTIATE_TEST_SUITE_P(
    files, config_load,
    testing::Values(
        load_case{"missing_file_gives_defaults", "", " [] 0", ""},
        load_case{"counter_of_today",
                  "<user email=\"a@x\"><package date=\"" + today + "\" value=\"7\"/></user>",
                  "a@x [] 7", ""},
        load_case{"counter_of_yesterday_restarts",
                  "<user><package date=\"" + yesterday + "\" value=\"7\"/></user>", " [] 0", ""},
        load_case{"contacts_come_back_sorted_and_empty_ones_stay",
                  "<user><contacts><contact email=\"B\"/><contact/><contact email=\"A\"/>"
                  "</contacts></user>",
                  " [,A,B] 0", ""},
        load_case{
            "value_not_a_number",
            "<user email=\"a@x\"><package date=\"" + today + "\" value=\"7x\"/></user>", "a@x [] 0",
            load_failed + "MSXMLError: Cannot parse the xml-document: Cannot parse the user config "
                          "file: bad lexical cast"},
        load_case{"malformed_keeps_what_came_before_sorted",
                  "<user email=\"a@x\"><contacts><contact email=\"c\"/><contact email=\"b\"/>"
                  "<contact",
                  "a@x [b,c] 0", load_failed}),
    test_support::row_name());

TEST_F(config_file, unwritable_folder_is_logged_and_the_old_file_stays) {
  parvel::user_config first;
  first.email = "kept@x";
  parvel::save_config(first);

  // The data folder becomes a file: nothing below it can be written.
  test_support::temp_folder other;
  test_support::write_file(other.file("plain-file"), "");
  {
    test_support::scoped_env blocked("XDG_DATA_HOME", other.file("plain-file"));
    parvel::save_config(parvel::user_config{});
  }
  ASSERT_EQ(capture_.lines().size(), 1u);
  EXPECT_EQ(capture_.lines()[0].rfind("parvel [error] - save_config failed: '", 0), 0u);
  EXPECT_EQ(parvel::user_config::load().email, "kept@x");
}

// A config that exists but cannot be read holds the sender, the contacts and
// the counter: the load logs why it has none of them, and no save of the run
// writes over the file, not even once it can be read again.
TEST_F(config_file, unreadable_file_is_logged_and_never_written_over) {
  const std::string path = parvel::config_path();
  parvel::user_config kept;
  kept.email = "kept@x";
  parvel::save_config(kept);
  const std::string saved = test_support::read_file(path);
  {
    const test_support::unreadable_file unreadable(path);
    parvel::save_config(parvel::user_config::load());
  }
  parvel::save_config(parvel::user_config{});

  EXPECT_EQ(test_support::read_file(path), saved);
  const std::string refused =
      "parvel [error] - save_config failed: 'cannot write over the "
      "unread file '" +
      path + "': Permission denied'";
  EXPECT_EQ(capture_.lines(), (strings{"parvel [error] - user_config::load failed: 'cannot "
                                       "read the file '" +
                                           path + "': Permission denied'",
                                       refused, refused}));
}

// A config damaged elsewhere (a crash, a full disk) holds contacts past the
// damage: the first save moves it aside, under a name saying why, before
// writing what was read; later saves write as usual.
struct damaged_case {
  const char* name;
  std::string document;
  std::string read;  // its summary
};

class damaged_config : public config_file, public testing::WithParamInterface<damaged_case> {};

TEST_P(damaged_config, is_kept_aside_at_the_first_save) {
  const auto& c = GetParam();
  const std::string path = parvel::config_path();
  const std::string aside = path + ".unreadable";
  fs::create_directories(fs::path(path).parent_path());
  test_support::write_file(aside, "an earlier damaged file");
  test_support::write_file(path, c.document);

  const auto record = parvel::user_config::load();
  EXPECT_EQ(summary(record), c.read);
  parvel::save_config(record);
  parvel::save_config(record);

  EXPECT_TRUE(test_support::read_file(aside) == c.document) << "the damaged file is kept whole";
  EXPECT_EQ(summary(parvel::user_config::load()), c.read);
  ASSERT_EQ(capture_.lines().size(), 2u) << capture_.text();
  EXPECT_EQ(capture_.lines()[0].rfind(load_failed, 0), 0u);
  EXPECT_EQ(capture_.lines()[1],
            "parvel [warning] - The damaged file '" + path + "' is kept as '" + aside + "'.");
}

std::string random_bytes(std::size_t size) {
  std::string bytes;
  std::uint32_t state = 12345;
  for (std::size_t i = 0; i < size; ++i) {
    state = state * 1103515245u + 12345u;
    bytes += static_cast<char>(state >> 24);
  }
  return bytes;
}

std::string nested(std::size_t depth) {
  std::string xml = "<user email=\"a@x\">";
  for (std::size_t i = 0; i < depth; ++i) {
    xml += "<x>";
  }
  return xml;
}

INSTANTIATE_TEST_SUITE_P(
    files, damaged_config,
    testing::Values(
        damaged_case{"cut_short",
                     "<?xml version=\"1.0\" encoding=\"utf-8\"?><user email=\"a@x\"><contacts>"
                     "<contact email=\"z\" /><contact email=\"y\" /><contact em",
                     "a@x [y,z] 0"},
        damaged_case{"counter_not_a_number",
                     "<user email=\"a@x\"><package date=\"" + today + "\" value=\"9x\"/></user>",
                     "a@x [] 0"},
        damaged_case{"random_bytes", random_bytes(5000), " [] 0"},
        damaged_case{"nested_too_deep", nested(20000), "a@x [] 0"}),
    test_support::row_name());

// parvel.config kept as a link into a dotfiles folder stays a link through a
// save, also when the file it leads to is damaged and moved aside.
TEST_F(config_file, linked_file_stays_a_link) {
  const std::string path = parvel::config_path();
  fs::create_directories(fs::path(path).parent_path());
  test_support::temp_folder dotfiles;
  const std::string target = dotfiles.file("parvel.config");
  test_support::write_file(target, "<user email=\"a@x\"><contacts><contact email=\"b\"/>");
  fs::create_symlink(target, path);

  parvel::save_config(parvel::user_config::load());
  auto record = parvel::user_config::load();
  record.contacts.push_back("c");
  parvel::save_config(record);

  EXPECT_TRUE(fs::is_symlink(path));
  EXPECT_EQ(summary(parvel::user_config::load()), "a@x [b,c] 0");
  EXPECT_EQ(test_support::read_file(target + ".unreadable"),
            "<user email=\"a@x\"><contacts><contact email=\"b\"/>");
}

}  // namespace
