#include "engine/app/application_settings.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sched.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "core/base64.hpp"
#include "core/settings/registry.hpp"
#include "core/version_strings.hpp"
#include "tests/support/log_capture.hpp"
#include "tests/support/shell.hpp"
#include "tests/support/table.hpp"
#include "tests/support/temp_folder.hpp"

namespace {

namespace fs = std::filesystem;
using parvel::window_placement;
using strings = std::vector<std::string>;

constexpr const char* product = "Lumbrel Send Photo";

// Each test gets empty user and system settings folders.
class settings_folders {
 public:
  settings_folders()
      : user_("XDG_CONFIG_HOME", root_.file("user")),
        system_("XDG_CONFIG_DIRS", root_.file("system")) {}

  // Nothing is written for an empty text: the file stays missing.
  void write(bool user, const std::string& text) {
    if (text.empty()) {
      return;
    }
    const fs::path path =
        user ? core::user_settings_path(product, "") : core::system_settings_path(product, "");
    fs::create_directories(path.parent_path());
    test_support::write_file(path.string(), text);
  }

 private:
  test_support::temp_folder root_;
  test_support::scoped_env user_;
  test_support::scoped_env system_;
};

window_placement maximised() {
  window_placement p;
  p.show_command = 3;
  p.left = -10, p.top = 5, p.right = 1910, p.bottom = 1045;
  return p;
}

std::string placement_line(const std::string& bytes) {
  return "Placement=" + core::base64_encode(bytes) + "\n";
}

// "<placement> <fullscreen> <version> [<culture>] [<service>]"
std::string summary(const parvel::application_settings& s) {
  const char* placement = s.placement == maximised()          ? "maximised"
                          : s.placement == window_placement{} ? "none"
                                                              : "other";
  return std::string(placement) + (s.fullscreen ? " fullscreen " : " windowed ") +
         core::version_to_string(s.version) + " [" + s.culture + "] [" + s.service_url + "]";
}

const std::string own_version = core::build::product_version;
const std::string defaults = "none windowed " + own_version + " [] []";
const std::string bad_cast =
    "parvel [debug] - bad lexical cast: source type value could not be interpreted as target";
const std::string bad_placement = "parvel [debug] - invalid window_placement.";

struct load_case {
  const char* name;
  std::string user_file;
  std::string read;    // its summary
  std::string logged;  // besides the lines of missing values
  std::string system_file = "";
};

class settings_load : public testing::TestWithParam<load_case> {};

TEST_P(settings_load, reads_each_value_on_its_own) {
  const auto& c = GetParam();
  settings_folders folders;
  folders.write(true, c.user_file);
  folders.write(false, c.system_file);
  test_support::log_capture capture;

  parvel::application_settings settings(product);
  settings.load();

  EXPECT_EQ(summary(settings), c.read);
  strings logged;
  for (const auto& line : capture.lines()) {
    if (line.find("cannot read the registry") == std::string::npos) {
      logged.push_back(line);
    }
  }
  EXPECT_EQ(logged, c.logged.empty() ? strings{} : strings{c.logged});
}

INSTANTIATE_TEST_SUITE_P(
    files, settings_load,
    testing::Values(
        load_case{"nothing_stored_gives_defaults", "", defaults, ""},
        load_case{"every_value_stored",
                  placement_line(to_bytes(maximised())) +
                      "Fullscreen=1\nVersion=2,1,0,5\nCulture=de-DE\n"
                      "ServiceUrl=https://127.0.0.1:8443/desktopserver\n",
                  "maximised fullscreen 2.1.0.5 [de-DE] [https://127.0.0.1:8443/desktopserver]",
                  ""},
        load_case{"user_value_beats_system_value", "Fullscreen=0\n",
                  "none windowed " + own_version + " [fr-FR] []", "",
                  "Fullscreen=1\nCulture=fr-FR\n"},
        load_case{"longer_placement_uses_its_first_bytes",
                  placement_line(to_bytes(maximised()) + "tail"),
                  "maximised windowed " + own_version + " [] []", ""},
        load_case{"short_placement", placement_line(to_bytes(maximised()).substr(0, 20)), defaults,
                  bad_placement},
        load_case{"placement_not_base64", "Placement=%%%%\n", defaults,
                  "parvel [debug] - bad Base64 sequence"},
        load_case{"placement_of_random_bytes", placement_line(std::string(44, '\x7F')), defaults,
                  bad_placement},
        load_case{"fullscreen_word_is_refused", "Fullscreen=true\n", defaults, bad_cast},
        load_case{"bad_version_gives_the_programs_own", "Version=1.x\n", defaults, bad_cast},
        load_case{"culture_with_line_break_is_ignored", "Culture=de\\r\\nX-Evil: 1\n", defaults,
                  "parvel [warning] - Culture ignored: not a culture name"},
        load_case{"plain_http_service_is_ignored", "ServiceUrl=http://evil.example/\n", defaults,
                  "parvel [warning] - ServiceUrl ignored: not an https address: "
                  "'http://evil.example/'"},
        load_case{"ipv6_service_is_read", "ServiceUrl=https://[::1]:8443/desktopserver\n",
                  "none windowed " + own_version + " [] [https://[::1]:8443/desktopserver]", ""},
        load_case{"ipv6_service_without_its_closing_bracket_is_ignored",
                  "ServiceUrl=https://[::1:8443/desktopserver\n", defaults,
                  "parvel [warning] - ServiceUrl ignored: not an https address: "
                  "'https://[::1:8443/desktopserver'"}),
    test_support::row_name());

// Each file is read and parsed once, not once a value: its broken line is
// reported once.
TEST(settings_load, reads_each_file_once_for_all_values) {
  settings_folders folders;
  folders.write(true, "Culture=fr-FR\nbroken\n");
  folders.write(false, "broken\nVersion=2.0.0.0\n");
  test_support::log_capture capture;

  parvel::application_settings settings(product);
  settings.load();

  EXPECT_EQ(summary(settings), "none windowed 2.0.0.0 [fr-FR] []");
  strings skipped;
  for (const auto& line : capture.lines()) {
    if (line.find("has no '='") != std::string::npos) {
      skipped.push_back(line);
    }
  }
  const auto skipped_line = [](const std::string& path, int number) {
    return "parvel [debug] - Settings file '" + path + "': line " + std::to_string(number) +
           " has no '=' and is skipped.";
  };
  EXPECT_EQ(skipped, (strings{skipped_line(core::user_settings_path(product, ""), 2),
                              skipped_line(core::system_settings_path(product, ""), 1)}));
}

TEST(settings_save, round_trips_placement_and_fullscreen_and_keeps_other_values) {
  settings_folders folders;
  folders.write(true, "Culture=de-DE\n");
  parvel::application_settings saved(product);
  saved.load();
  saved.placement = maximised();
  saved.fullscreen = true;
  saved.save();

  parvel::application_settings loaded(product);
  loaded.load();
  EXPECT_EQ(summary(loaded),
            "maximised fullscreen " + core::version_to_string(saved.version) + " [de-DE] []");
}

TEST(settings_save, unwritable_folder_is_logged_and_never_throws) {
  settings_folders folders;
  test_support::temp_folder blocked;
  test_support::write_file(blocked.file("file"), "");
  test_support::scoped_env config("XDG_CONFIG_HOME", blocked.file("file"));  // a file, not a folder
  test_support::log_capture capture;
  parvel::application_settings settings(product);
  settings.save();
  EXPECT_EQ(capture.lines().size(), 2u) << capture.text();
}

// As in a container: no HOME and a user the password database does not know
// (a user namespace maps one in). Prints what the settings hold and logged.
void load_in_container() {
  constexpr uid_t unknown_uid = 54321;
  const std::string map = std::to_string(unknown_uid) + " " + std::to_string(::getuid()) + " 1";
  const int uid_map = ::unshare(CLONE_NEWUSER) == 0 ? ::open("/proc/self/uid_map", O_WRONLY) : -1;
  if (uid_map < 0 || ::write(uid_map, map.data(), map.size()) < 0 ||
      ::getpwuid(unknown_uid) != nullptr) {
    std::exit(2);
  }
  ::unsetenv("HOME");
  ::unsetenv("XDG_CONFIG_HOME");
  test_support::log_capture capture;
  parvel::application_settings settings(product);
  settings.load();
  std::fprintf(stderr, "%s\n%s", summary(settings).c_str(), capture.text().c_str());
  std::exit(0);
}

// The system's own service address is read without a home folder; only the
// user's settings are skipped, and that is said.
TEST(settings_load, system_values_are_read_without_a_home_folder) {
  if (test_support::run("unshare --user true 2>&1") != 0) {
    GTEST_SKIP() << "no user namespaces";
  }
  settings_folders folders;
  folders.write(false, "ServiceUrl=https://127.0.0.1:8443/desktopserver\nCulture=de-DE\n");
  EXPECT_EXIT(load_in_container(), testing::ExitedWithCode(0),
              "windowed [0-9.]+ \\[de-DE\\] \\[https://127.0.0.1:8443/desktopserver\\]\n"
              "parvel \\[warning\\] - The user's settings are skipped: Cannot to get a "
              "system-wide directory.: No such file or directory");
}

}  // namespace
