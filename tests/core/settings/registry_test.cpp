#include "core/settings/registry.hpp"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>

#include "core/settings/settings_file.hpp"
#include "core/system_error.hpp"
#include "tests/support/expect_error.hpp"
#include "tests/support/log_capture.hpp"
#include "tests/support/temp_folder.hpp"
#include "tests/support/unreadable_file.hpp"

namespace {

namespace fs = std::filesystem;

const std::string product = "Lumbrel Send Photo";

// Points the user's and the system's configuration folders into a fresh
// temporary folder for each test.
class registry : public testing::Test {
 protected:
  std::string user_file() const { return (root_ / "user/config" / product / "settings").string(); }
  std::string system_file() const { return (root_ / "system" / product / "settings").string(); }
  static void write_settings(const std::string& path, const std::string& text) {
    fs::create_directories(fs::path(path).parent_path());
    test_support::write_file(path, text);
  }

  test_support::temp_folder folder_;
  const fs::path root_ = folder_.path();
  test_support::scoped_env user_{"XDG_CONFIG_HOME", (root_ / "user/config").string()};
  test_support::scoped_env system_{"XDG_CONFIG_DIRS", (root_ / "system").string() + ":/etc/xdg"};
};

TEST_F(registry, every_byte_value_round_trips_through_a_created_folder) {
  std::string bytes;
  for (int i = 0; i < 256; ++i) {
    bytes += static_cast<char>(i);
  }
  const std::string odd_name = "a=b\\c\nd";
  core::write_registry_string("Placement", "", product, bytes);
  core::write_registry_string(odd_name, "", product, "x=y");
  core::write_registry_string("Placement", "", product, bytes + bytes);

  EXPECT_EQ(core::read_registry_string("Placement", "", product), bytes + bytes);
  EXPECT_EQ(core::read_registry_string(odd_name, "", product), "x=y");
  EXPECT_EQ(core::user_settings_path(product, ""), user_file());
  const std::string text = test_support::read_file(user_file());
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2);
  EXPECT_NE(text.find("a\\=b\\\\c\\nd=x=y\n"), std::string::npos);
}

TEST_F(registry, user_value_wins_and_system_value_fills_in) {
  write_settings(system_file(), "Version=2.0.0.0\nCulture=de-DE\n");
  write_settings(user_file(), "Culture=fr-FR\n");
  EXPECT_EQ(core::read_registry_string("Culture", "", product), "fr-FR");
  EXPECT_EQ(core::read_registry_string("Version", "", product), "2.0.0.0");
  core::write_registry_string("Version", "", product, "3.0.0.0");
  EXPECT_EQ(test_support::read_file(system_file()), "Version=2.0.0.0\nCulture=de-DE\n");
}

TEST_F(registry, failures_name_the_user_file) {
  write_settings(user_file(), "Other=1\n");
  test_support::expect_error<core::windows_system_error>(
      [] { core::read_registry_string("Culture", "", product); },
      "cannot read the registry. key: '" + user_file() +
          "', value: 'Culture'.: No such file or directory");
  fs::remove_all(root_ / "user/config");
  write_settings((root_ / "user/config").string(), "a file where a folder belongs");
  test_support::expect_error<core::windows_system_error>(
      [] { core::write_registry_string("Fullscreen", "", product, "1"); },
      "cannot open the registry key: '" + user_file() + "'.: Not a directory");
}

// A key is read once for the values read through it, as the settings load does.
TEST_F(registry, key_reads_both_files_once) {
  write_settings(system_file(), "Version=2.0.0.0\nCulture=de-DE\n");
  write_settings(user_file(), "Culture=fr-FR\n");
  const core::registry_key key(product, "");
  write_settings(user_file(), "Culture=it-IT\nFullscreen=1\n");
  EXPECT_EQ(key.read("Culture"), "fr-FR");
  EXPECT_EQ(key.read("Version"), "2.0.0.0");
  test_support::expect_error<core::windows_system_error>(
      [&] { key.read("Fullscreen"); }, "cannot read the registry. key: '" + user_file() +
                                           "', value: 'Fullscreen'.: No such file or directory");
  fs::remove(system_file());
  test_support::expect_error<core::windows_system_error>(
      [] { core::registry_key(product, "").read("Version"); },
      "cannot read the registry. key: '" + user_file() +
          "', value: 'Version'.: No such file or directory");
}

// A user file that exists but cannot be read is the cause a missing value
// reports, not the system file's absence; the system's values still fill in.
TEST_F(registry, unreadable_user_file_is_the_reported_cause) {
  write_settings(user_file(), "Culture=fr-FR\n");
  const test_support::unreadable_file unreadable(user_file());
  test_support::expect_error<core::windows_system_error>(
      [] { core::read_registry_string("Culture", "", product); },
      "cannot read the registry. key: '" + user_file() + "', value: 'Culture'.: Permission denied");
  write_settings(system_file(), "Culture=de-DE\n");
  EXPECT_EQ(core::read_registry_string("Culture", "", product), "de-DE");
}

// A line that cannot be read would be lost when the file is written again:
// the whole file is kept aside first, once, and its readable values go on.
TEST_F(registry, damaged_file_is_kept_aside_before_the_first_write) {
  const std::string aside = user_file() + ".unreadable";
  for (const std::string damaged :
       {"Culture=fr-FR\n\x01\xFFgarbled\n", "broken\nCulture=fr-FR\n"}) {
    SCOPED_TRACE(damaged);
    write_settings(user_file(), damaged);
    test_support::log_capture log;
    core::write_registry_string("Fullscreen", "", product, "1");
    core::write_registry_string("Placement", "", product, "AAAA");

    EXPECT_EQ(test_support::read_file(user_file()),
              "Culture=fr-FR\nFullscreen=1\nPlacement=AAAA\n");
    EXPECT_EQ(test_support::read_file(aside), damaged);  // a later one replaces an earlier
    const std::string kept =
        "parvel [warning] - The damaged file '" + user_file() + "' is kept as '" + aside + "'.";
    const auto lines = log.lines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), kept), 1) << log.text();
  }
}

// The kernel kills the process in the middle of writing the new settings.
void write_past_file_size_limit(const std::string& name, const std::string& value) {
  const rlimit limit{4096, 4096};
  setrlimit(RLIMIT_FSIZE, &limit);
  core::write_registry_string(name, "", product, value);
  std::exit(0);
}

TEST_F(registry, crash_while_writing_leaves_the_old_file_intact) {
  write_settings(user_file(), "Fullscreen=1\n");
  const std::string large(1 << 20, 'v');
  EXPECT_EXIT(write_past_file_size_limit("Placement", large), testing::KilledBySignal(SIGXFSZ), "");
  EXPECT_EQ(test_support::read_file(user_file()), "Fullscreen=1\n");
  core::write_registry_string("Placement", "", product, "AAAA");
  EXPECT_EQ(core::read_registry_string("Placement", "", product), "AAAA");
}

TEST(settings_file, parse_reads_lines) {
  const struct {
    std::string text;
    std::string expected;  // the file as it would be written again
    std::string log;
  } cases[] = {{"# note\r\n\na=1\r\n\n", "a=1\n", ""},  // comments, blank lines, CR LF
               {"a=1\nb=2\na=3", "a=3\nb=2\n", ""},     // the later line wins
               {"a\\=b=\\x00\\x7f\\t\\\\=", "a\\=b=\\x00\\x7F\\t\\\\=\n", ""},
               {"a=\\q\\x4\\", "a=\\\\q\\\\x4\\\\\n", ""},  // unknown escapes stand as written
               {"a=1\nbroken\n", "a=1\n",
                "parvel [debug] - Settings file 'f': line 2 has no '=' and is skipped.\r\n"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    test_support::log_capture log;
    EXPECT_EQ(core::settings_file::parse(c.text, "f").text(), c.expected);
    EXPECT_EQ(log.text(), c.log);
  }
}

// Many names, some given twice: each finds its latest value and the file
// keeps the order in which the names first came.
TEST(settings_file, every_name_finds_its_latest_value) {
  std::string text;
  std::string expected;
  for (int i = 0; i < 3000; ++i) {
    text += "n" + std::to_string(i) + "=" + std::to_string(i) + "\n";
    expected += "n" + std::to_string(i) + "=" + std::to_string(i % 3 == 0 ? -i : i) + "\n";
  }
  for (int i = 0; i < 3000; i += 3) {
    text += "n" + std::to_string(i) + "=" + std::to_string(-i) + "\n";
  }
  core::settings_file file = core::settings_file::parse(text, "f");
  EXPECT_EQ(file.text(), expected);
  file.set("new", "1");
  file.set("n5", "five");
  ASSERT_NE(file.find("n5"), nullptr);
  EXPECT_EQ(*file.find("n5"), "five");
  EXPECT_EQ(*file.find("n2999"), "2999");
  EXPECT_EQ(*file.find("new"), "1");
  EXPECT_EQ(file.find("n3000"), nullptr);
  EXPECT_EQ(file.text().substr(file.text().size() - 6), "new=1\n");
}

}  // namespace
