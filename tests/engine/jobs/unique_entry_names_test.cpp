#include "engine/jobs/unique_entry_names.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <map>
#include <memory>

#include "engine/rename/rename_alg_add.hpp"
#include "engine/rename/rename_alg_counter.hpp"
#include "engine/rename/rename_alg_replace.hpp"
#include "engine/rename/rename_alg_value.hpp"
#include "tests/engine/jobs/archive_fixture.hpp"
#include "tests/support/shell.hpp"
#include "tests/support/table.hpp"

namespace {

namespace fs = std::filesystem;
using strings = std::vector<std::string>;

std::string repeat(const std::string& text, std::size_t times) {
  std::string result;
  for (std::size_t i = 0; i < times; ++i) {
    result += text;
  }
  return result;
}

const std::string kanji = "\xe6\x97\xa5";
const std::string replacement = "\xef\xbf\xbd";

struct unique_case {
  const char* name;
  strings given;
  strings made;
};

class unique_names : public testing::TestWithParam<unique_case> {};

TEST_P(unique_names, are_unique_without_case_and_within_a_file_names_length) {
  const auto& c = GetParam();
  parvel::unique_entry_names names;
  strings made;
  for (const std::string& name : c.given) {
    made.push_back(names.make_unique(name));
  }
  EXPECT_EQ(made, c.made);
}

INSTANTIATE_TEST_SUITE_P(
    names, unique_names,
    testing::Values(
        unique_case{"same_names_are_counted",
                    {"IMG.jpg", "img.JPG", "IMG.jpg", "IMG(1).jpg"},
                    {"IMG.jpg", "img(1).JPG", "IMG(2).jpg", "IMG(1)(1).jpg"}},
        unique_case{"a_long_name_gives_way_for_its_count",
                    {std::string(251, 'x') + ".jpg", std::string(251, 'x') + ".jpg"},
                    {std::string(251, 'x') + ".jpg", std::string(248, 'x') + "(1).jpg"}},
        unique_case{"a_name_too_long_is_cut_before_its_extension",
                    {std::string(253, 'x') + ".jpeg", "a" + repeat(kanji, 85) + ".tif"},
                    {std::string(250, 'x') + ".jpeg", "a" + repeat(kanji, 83) + ".tif"}},
        unique_case{"names_alike_up_to_their_cut_are_counted",
                    {std::string(260, 'x') + "1.jpg", std::string(260, 'x') + "2.jpg"},
                    {std::string(251, 'x') + ".jpg", std::string(248, 'x') + "(1).jpg"}},
        unique_case{"an_extension_as_long_as_a_name_gives_way_last",
                    {"a." + std::string(260, 'e'), "a." + std::string(260, 'e')},
                    {"." + std::string(254, 'e'), "(1)." + std::string(251, 'e')}},
        unique_case{"multi_byte_stems_lose_whole_characters",
                    {repeat(kanji, 83) + "ab.jpg", repeat(kanji, 83) + "ab.jpg"},
                    {repeat(kanji, 83) + "ab.jpg", repeat(kanji, 82) + "(1).jpg"}},
        unique_case{
            "names_alike_once_made_utf8_are_counted",
            {"\xff\xfe.jpg", "\xfe\xff.jpg", replacement + replacement + ".jpg", "\xe0\xe8.jpg"},
            {replacement + replacement + ".jpg", replacement + replacement + "(1).jpg",
             replacement + replacement + "(2).jpg", replacement + replacement + "(3).jpg"}},
        unique_case{"a_name_not_utf8_fits_as_written",
                    {std::string(250, '\xff') + ".jpg"},
                    {repeat(replacement, 83) + ".jpg"}}),
    test_support::row_name());

class long_entry_names : public test_support::archive_test {};

// What the recipient's Python and unzip write of the archive, each into a
// folder of its own: the contents of the files there, by name.
std::vector<std::map<std::string, std::string>> extracted(const std::string& archive) {
  const test_support::temp_folder python, unzip;
  std::string output;
  EXPECT_EQ(test_support::run("python3 -c 'import sys, zipfile; "
                              "zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])' " +
                                  test_support::quoted(archive) + " " +
                                  test_support::quoted(python.path().string()) + " 2>&1",
                              &output),
            0)
      << output;
  EXPECT_EQ(test_support::run("unzip -qq -o " + test_support::quoted(archive) + " -d " +
                                  test_support::quoted(unzip.path().string()) + " 2>&1",
                              &output),
            0)
      << output;
  std::vector<std::map<std::string, std::string>> folders;
  for (const fs::path& folder : {python.path(), unzip.path()}) {
    auto& files = folders.emplace_back();
    for (const auto& file : fs::directory_iterator(folder)) {
      files[file.path().filename().string()] = test_support::read_file(file.path().string());
    }
  }
  return folders;
}

// Photos named as long as a file name can be, two of them alike, renamed with
// a prefix: what the recipient's Python and unzip make of the archive.
TEST_F(long_entry_names, renamed_photos_extract_whole) {
  const std::string ascii = std::string(251, 'x');
  const std::string multi_byte = "a" + repeat(kanji, 83) + "b";
  add_file("a/" + ascii + ".jpg", "one");
  add_file("b/" + ascii + ".jpg", "two");
  add_file("c/" + multi_byte + ".jpg", "three");
  add_file("d/" + std::string(255, 'y'), "four");
  package_->set_rename_alg(std::make_shared<parvel::rename_alg_add>(
      std::make_shared<parvel::rename_alg_add>(
          std::make_shared<parvel::rename_alg_value>("Urlaub2026_"),
          std::make_shared<parvel::rename_alg_replace>()),
      std::make_shared<parvel::rename_alg_value>("")));
  archive();
  ASSERT_EQ(recorder_.outcome(), "succeeded");

  const auto entries = test_support::read_archive(package_->archive_path());
  const std::string prefix = "Urlaub2026_";
  EXPECT_EQ(entries, (std::map<std::string, std::string>{
                         {prefix + std::string(240, 'x') + ".jpg", "one"},
                         {prefix + std::string(237, 'x') + "(1).jpg", "two"},
                         {prefix + "a" + repeat(kanji, 79) + ".jpg", "three"},
                         {prefix + std::string(244, 'y'), "four"}}));
  for (const auto& files : extracted(package_->archive_path())) {
    EXPECT_EQ(files, entries);
  }
}

// Names in other encodings than UTF-8, alike once the archive writes them as
// UTF-8: each photo reaches the recipient.
TEST_F(long_entry_names, names_not_utf8_extract_to_as_many_files) {
  const std::string twice = replacement + replacement;
  add_file("\xff\xfe.jpg", "one");
  add_file("\xfe\xff.jpg", "two");
  add_file(twice + ".jpg", "three");
  add_file("bad\xe9/\xe0\xe8.jpg", "four");
  archive();
  ASSERT_EQ(recorder_.outcome(), "succeeded");
  const std::map<std::string, std::string> expected{{twice + ".jpg", "one"},
                                                    {twice + "(1).jpg", "two"},
                                                    {twice + "(2).jpg", "three"},
                                                    {twice + "(3).jpg", "four"}};
  EXPECT_EQ(test_support::read_archive(package_->archive_path()), expected);
  for (const auto& files : extracted(package_->archive_path())) {
    EXPECT_EQ(files, expected);
  }
}

}  // namespace
