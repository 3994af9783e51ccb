#include "engine/app/application.hpp"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/module.hpp"
#include "engine/errors/parvel_error.hpp"
#include "tests/support/log_capture.hpp"
#include "tests/support/table.hpp"
#include "tests/support/temp_folder.hpp"

namespace {

namespace fs = std::filesystem;

parvel::application& app() {
  return *parvel::application::instance();
}

TEST(application, names_and_product_parameter) {
  EXPECT_EQ(app().product_name(), "Lumbrel Send Photo");
  EXPECT_EQ(app().product_title(), "Lumbrel Send Photo 1.0.0");
  EXPECT_EQ(app().mutex_name(), "Local\\lumbrel_parvel");
  std::string value = "untouched";
  EXPECT_FALSE(app().get_parameter("productname", value));
  EXPECT_EQ(value, "untouched");
  EXPECT_TRUE(app().get_parameter("ProductName", value));
  EXPECT_EQ(value, "Lumbrel Send Photo");
  EXPECT_EQ(app().get_localized_string("no_such_id"), "no_such_id");
  EXPECT_EQ(app().get_localized_wstring("send_header"), u"Sending");
}

struct error_case {
  const char* name;
  int code;
  const char* detail;
  const char* message;
};

class parvel_error_text : public testing::TestWithParam<error_case> {};

TEST_P(parvel_error_text, is_the_localized_text_of_the_codes_key) {
  const auto& c = GetParam();
  const parvel::parvel_error error =
      c.detail ? parvel::parvel_error(c.code, c.detail) : parvel::parvel_error(c.code);
  EXPECT_STREQ(error.what(), c.message);
  EXPECT_EQ(error.code(), c.code);
  const parvel::parvel_error copy = error;
  EXPECT_STREQ(copy.what(), c.message);
}

INSTANTIATE_TEST_SUITE_P(
    codes, parvel_error_text,
    testing::Values(
        error_case{"ok", 0, nullptr, "OK"}, error_case{"five_has_no_key", 5, nullptr, "OK"},
        error_case{"ten_has_no_key", 10, nullptr, "OK"},
        error_case{"above_the_table", 16, nullptr, "OK"}, error_case{"negative", -1, nullptr, "OK"},
        error_case{"stage", 2, nullptr, "Compressing your images into a single zip file."},
        error_case{"missing_file_names_the_path", 7, "/home/me/Pictures/a [1].jpg",
                   "Zipping Failure. The file /home/me/Pictures/a [1].jpg may have been renamed, "
                   "moved or deleted."},
        error_case{"detail_without_placeholder", 6, "ignored",
                   "We've encountered a problem zipping your photos. Please Try Again."},
        error_case{"limit", 9, nullptr,
                   "Parvel limit exceeded. Please remove some photos. 4GB per parvel max."},
        error_case{"forbidden_names_the_support_address", 14, nullptr,
                   "Your message appears to be in violation of our Terms. If you believe this "
                   "message is in error, please contact us at: support@lumbrel.example"}),
    test_support::row_name());

// Cultures.zip lies beside the program; the tests put theirs beside the test.
class culture_archive {
 public:
  explicit culture_archive(const std::map<std::string, std::string>& entries)
      : path_(fs::path(core::get_module_file_name(core::get_current_module())).parent_path() /
              "Cultures.zip") {
    test_support::temp_folder sources;
    std::string command = "cd '" + sources.path().string() +
                          "' && python3 -c 'import sys, zipfile\n"
                          "with zipfile.ZipFile(sys.argv[1], \"w\") as z:\n"
                          "  for name in sys.argv[2:]: z.write(name)' '" +
                          path_.string() + "'";
    for (const auto& [name, text] : entries) {
      test_support::write_file(sources.file(name), text);
      command += " '" + name + "'";
    }
    EXPECT_EQ(std::system(command.c_str()), 0);
  }
  ~culture_archive() { fs::remove(path_); }

 private:
  fs::path path_;
};

std::string table(const std::string& culture, const std::string& strings) {
  return R"(<?xml version="1.0" encoding="utf-8"?><localization xmlns="http://www.lumbrel.example/schemas/localization/2009" culture=")" +
         culture + "\">" + strings + "</localization>";
}

struct culture_case {
  const char* name;
  const char* culture;
  std::map<std::string, std::string> archive;
  const char* send_header;
  const char* zip_error;
};

const char* const builtin_zip_error =
    "Zipping Failure. The file x.jpg may have been renamed, moved or deleted.";

// One test for all rows: they share the one place of the archive.
TEST(culture_tables, come_from_the_archive_or_the_built_in_table) {
  const culture_case rows[] = {
      {"culture_from_the_archive",
       "de-DE",
       {{"parvel_de-DE.xml",
         table("de-DE",
               "<string id=\"send_header\">Senden an [ProductName]</string>"
               "<string id=\"zip_error_file_not_found\">[1] fehlt, [1] bleibt</string>")}},
       "Senden an Lumbrel Send Photo",
       "x.jpg fehlt, [1] bleibt"},
      {"missing_entry_gives_built_in",
       "fr-FR",
       {{"parvel_de-DE.xml", table("de-DE", "<string id=\"a\">b</string>")}},
       "Sending",
       builtin_zip_error},
      {"empty_table_gives_built_in",
       "de-DE",
       {{"parvel_de-DE.xml", table("de-DE", "")}},
       "Sending",
       builtin_zip_error},
      {"malformed_table_gives_built_in",
       "de-DE",
       {{"parvel_de-DE.xml", "<localization><string"}},
       "Sending",
       builtin_zip_error},
      {"table_without_the_key_gives_the_key",
       "de-DE",
       {{"parvel_de-DE.xml", table("de-DE", "<string id=\"a\">b</string>")}},
       "send_header",
       "zip_error_file_not_found"},
  };
  for (const culture_case& c : rows) {
    SCOPED_TRACE(c.name);
    const culture_archive archive(c.archive);
    app().settings()->culture = c.culture;
    app().load_localization();
    EXPECT_EQ(app().get_localized_string("send_header"), c.send_header);
    EXPECT_STREQ(parvel::parvel_error(7, "x.jpg").what(), c.zip_error);
  }
  app().settings()->culture.clear();
  app().load_localization();
  EXPECT_EQ(app().get_localized_string("send_header"), "Sending");
}

}  // namespace
