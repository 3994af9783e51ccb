#include "engine/app/application.hpp"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/module.hpp"
#include "engine/errors/parvel_error.hpp"
#include "tests/support/temp_folder.hpp"

namespace {

namespace fs = std::filesystem;

parvel::application& app() {
  return *parvel::application::instance();
}

TEST(parvel_error, text_is_the_localized_text_of_the_codes_key) {
  struct row {
    int code;
    const char* detail;
    const char* message;
  };
  for (const row& r : {
           row{5, nullptr, "OK"},  // no key
           row{16, nullptr, "OK"},
           row{-1, nullptr, "OK"},
           row{7, "/home/me/a [1] %s.jpg",
               "Zipping Failure. The file /home/me/a [1] %s.jpg may have been renamed, moved or "
               "deleted."},
           row{6, "no place for it",
               "We've encountered a problem zipping your photos. Please Try Again."},
           row{14, nullptr,
               "Your message appears to be in violation of our Terms. If you believe this message "
               "is in error, please contact us at: support@lumbrel.example"},
       }) {
    SCOPED_TRACE(r.code);
    const parvel::parvel_error error =
        r.detail ? parvel::parvel_error(r.code, r.detail) : parvel::parvel_error(r.code);
    EXPECT_STREQ(error.what(), r.message);
    EXPECT_EQ(error.code(), r.code);
  }
}

// Cultures.zip lies beside the program; the tests put theirs beside the test.
class culture_archive {
 public:
  explicit culture_archive(const std::string& table)
      : path_(fs::path(core::get_module_file_name(core::get_current_module())).parent_path() /
              "Cultures.zip") {
    test_support::temp_folder sources;
    test_support::write_file(sources.file("parvel_de-DE.xml"), table);
    const std::string command = "cd '" + sources.path().string() +
                                "' && python3 -c 'import sys, zipfile\n"
                                "with zipfile.ZipFile(sys.argv[1], \"w\") as z:\n"
                                "  z.write(\"parvel_de-DE.xml\")' '" +
                                path_.string() + "'";
    EXPECT_EQ(std::system(command.c_str()), 0);
  }
  ~culture_archive() { fs::remove(path_); }

 private:
  fs::path path_;
};

std::string table(const std::string& strings) {
  return R"(<?xml version="1.0" encoding="utf-8"?><localization xmlns="http://www.lumbrel.example/schemas/localization/2009" culture="de-DE">)" +
         strings + "</localization>";
}

// One test for all rows: they share the one place of the archive.
TEST(culture_tables, come_from_the_archive_or_the_built_in_table) {
  struct row {
    const char* name;
    const char* culture;
    std::string table;
    const char* send_header;
    const char* zip_error;
  };
  const char* const builtin_zip_error =
      "Zipping Failure. The file x.jpg may have been renamed, moved or deleted.";
  const row rows[] = {
      {"culture_from_the_archive", "de-DE",
       table("<string id=\"send_header\">Senden an [ProductName]</string>"
             "<string id=\"zip_error_file_not_found\">[1] fehlt, [1] bleibt</string>"),
       "Senden an Lumbrel Send Photo", "x.jpg fehlt, [1] bleibt"},
      {"missing_entry_gives_built_in", "fr-FR", table("<string id=\"a\">b</string>"), "Sending",
       builtin_zip_error},
      {"empty_table_gives_built_in", "de-DE", table(""), "Sending", builtin_zip_error},
      {"malformed_table_gives_built_in", "de-DE", "<localization><string", "Sending",
       builtin_zip_error},
      {"table_without_the_key_gives_the_key", "de-DE", table("<string id=\"a\">b</string>"),
       "send_header", "zip_error_file_not_found"},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.name);
    const culture_archive archive(r.table);
    app().settings()->culture = r.culture;
    app().load_localization();
    EXPECT_EQ(app().get_localized_string("send_header"), r.send_header);
    EXPECT_STREQ(parvel::parvel_error(7, "x.jpg").what(), r.zip_error);
  }
  app().settings()->culture.clear();
  app().load_localization();
  EXPECT_EQ(app().get_localized_string("send_header"), "Sending");
}

}  // namespace
