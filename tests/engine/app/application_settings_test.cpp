#include "engine/app/application_settings.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "core/base64.hpp"
#include "core/registry.hpp"
#include "core/version_strings.hpp"
#include "tests/support/log_capture.hpp"
#include "tests/support/table.hpp"
#include "tests/support/temp_folder.hpp"

namespace {

namespace fs = std::filesystem;
using parvel::window_placement;

constexpr const char* product = "Lumbrel Send Photo";

// Each test gets empty user and system settings folders.
class settings_folders {
 public:
  settings_folders()
      : user_("XDG_CONFIG_HOME", root_.file("user")),
        system_("XDG_CONFIG_DIRS", root_.file("system")) {}

  void write_user(const std::string& text) { write(core::user_settings_path(product, ""), text); }
  void write_system(const std::string& text) {
    write(core::system_settings_path(product, ""), text);
  }

 private:
  static void write(const std::string& path, const std::string& text) {
    fs::create_directories(fs::path(path).parent_path());
    test_support::write_file(path, text);
  }

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

struct load_case {
  const char* name;
  std::string user_file;
  window_placement placement;
  bool fullscreen;
  std::string version;
  std::string culture;
  std::string service_url;
  std::vector<std::string> logged;  // besides the lines of missing values
};

class settings_load : public testing::TestWithParam<load_case> {};

TEST_P(settings_load, reads_each_value_on_its_own) {
  const auto& c = GetParam();
  settings_folders folders;
  folders.write_user(c.user_file);
  test_support::log_capture capture;

  parvel::application_settings settings(product);
  settings.load();

  EXPECT_EQ(settings.placement, c.placement);
  EXPECT_EQ(settings.fullscreen, c.fullscreen);
  EXPECT_EQ(core::version_to_string(settings.version), c.version);
  EXPECT_EQ(settings.culture, c.culture);
  EXPECT_EQ(settings.service_url, c.service_url);
  std::vector<std::string> logged;
  for (const auto& line : capture.lines()) {
    if (line.find("cannot read the registry") == std::string::npos) {
      logged.push_back(line);
    }
  }
  EXPECT_EQ(logged, c.logged);
}

const std::string own_version = core::build::product_version;

INSTANTIATE_TEST_SUITE_P(
    files, settings_load,
    testing::Values(
        load_case{"nothing_stored_gives_defaults", "", {}, false, own_version, "", "", {}},
        load_case{"every_value_stored",
                  placement_line(to_bytes(maximised())) +
                      "Fullscreen=1\nVersion=2,1,0,5\nCulture=de-DE\n"
                      "ServiceUrl=https://127.0.0.1:8443/desktopserver\n",
                  maximised(),
                  true,
                  "2.1.0.5",
                  "de-DE",
                  "https://127.0.0.1:8443/desktopserver",
                  {}},
        load_case{"longer_placement_uses_its_first_bytes",
                  placement_line(to_bytes(maximised()) + "tail"),
                  maximised(),
                  false,
                  own_version,
                  "",
                  "",
                  {}},
        load_case{"empty_placement",
                  "Placement=\n",
                  {},
                  false,
                  own_version,
                  "",
                  "",
                  {"parvel [debug] - invalid window_placement."}},
        load_case{"short_placement",
                  placement_line(to_bytes(maximised()).substr(0, 20)),
                  {},
                  false,
                  own_version,
                  "",
                  "",
                  {"parvel [debug] - invalid window_placement."}},
        load_case{"placement_not_base64",
                  "Placement=%%%%\n",
                  {},
                  false,
                  own_version,
                  "",
                  "",
                  {"parvel [debug] - bad Base64 sequence"}},
        load_case{"placement_of_random_bytes",
                  placement_line(std::string(44, '\x7F')),
                  {},
                  false,
                  own_version,
                  "",
                  "",
                  {"parvel [debug] - invalid window_placement."}},
        load_case{"fullscreen_word_is_refused",
                  "Fullscreen=true\n",
                  {},
                  false,
                  own_version,
                  "",
                  "",
                  {"parvel [debug] - bad lexical cast: source type value could not be interpreted "
                   "as target"}},
        load_case{"bad_version_gives_the_programs_own",
                  "Version=1.x\n",
                  {},
                  false,
                  own_version,
                  "",
                  "",
                  {"parvel [debug] - bad lexical cast: source type value could not be interpreted "
                   "as target"}},
        load_case{"culture_with_line_break_is_ignored",
                  "Culture=de\\r\\nX-Evil: 1\n",
                  {},
                  false,
                  own_version,
                  "",
                  "",
                  {"parvel [warning] - Culture ignored: not a culture name"}},
        load_case{"plain_http_service_is_ignored",
                  "ServiceUrl=http://evil.example/\n",
                  {},
                  false,
                  own_version,
                  "",
                  "",
                  {"parvel [warning] - ServiceUrl ignored: not an https address: "
                   "'http://evil.example/'"}}),
    test_support::row_name());

TEST(settings_load, user_value_beats_system_value) {
  settings_folders folders;
  folders.write_system("Fullscreen=1\nCulture=fr-FR\n");
  folders.write_user("Fullscreen=0\n");
  parvel::application_settings settings(product);
  settings.load();
  EXPECT_FALSE(settings.fullscreen);
  EXPECT_EQ(settings.culture, "fr-FR");
}

TEST(settings_save, round_trips_placement_and_fullscreen_and_keeps_other_values) {
  settings_folders folders;
  folders.write_user("Culture=de-DE\n");
  parvel::application_settings saved(product);
  saved.load();
  saved.placement = maximised();
  saved.fullscreen = true;
  saved.save();

  parvel::application_settings loaded(product);
  loaded.load();
  EXPECT_EQ(loaded.placement, maximised());
  EXPECT_TRUE(loaded.fullscreen);
  EXPECT_EQ(loaded.culture, "de-DE");
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

}  // namespace
