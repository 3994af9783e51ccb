#include "tests/engine/jobs/archive_fixture.hpp"

#include <filesystem>
#include <random>
#include <sstream>

#include "engine/app/application.hpp"
#include "engine/options/convert_option_manager.hpp"
#include "engine/options/resize_option_manager.hpp"

namespace test_support {

namespace fs = std::filesystem;

parvel::controller& the_controller() {
  return *parvel::application::instance()->controller();
}

std::string random_bytes(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& c : bytes) {
    c = static_cast<char>(random());
  }
  return bytes;
}

std::map<std::string, std::string> read_archive(const std::string& path) {
  temp_folder out;
  const std::string command =
      "python3 -c 'import sys, zipfile\n"
      "z = zipfile.ZipFile(sys.argv[1])\n"
      "assert z.testzip() is None\n"
      "for i, name in enumerate(z.namelist()):\n"
      "  open(sys.argv[2] + \"/\" + str(i), \"wb\").write(z.read(name))\n"
      "  print(name)' '" +
      path + "' '" + out.path().string() + "' > '" + out.file("names") + "'";
  EXPECT_EQ(std::system(command.c_str()), 0) << path;
  std::map<std::string, std::string> entries;
  std::istringstream names(read_file(out.file("names")));
  int index = 0;
  for (std::string name; std::getline(names, name); ++index) {
    entries[name] = read_file(out.file(std::to_string(index)));
  }
  return entries;
}

std::vector<std::string> names_of(const std::map<std::string, std::string>& entries) {
  std::vector<std::string> names;
  for (const auto& entry : entries) {
    names.push_back(entry.first);
  }
  return names;
}

archive_test::archive_test() : package_(std::make_shared<parvel::package_info>()) {
  package_->sender = "photos@x.example";
  package_->make_archive_name();
}

void archive_test::TearDown() {
  parvel::convert_option_manager::instance()->set_current(parvel::photo_convert_option(0));
  parvel::resize_option_manager::instance()->set_current({0, 0, 0});
}

std::string archive_test::add_file(const std::string& relative, const std::string& bytes) {
  const fs::path path = folder_.path() / relative;
  fs::create_directories(path.parent_path());
  write_file(path.string(), bytes);
  package_->add_entries({parvel::photo_entry{path.string()}});
  return path.string();
}

void archive_test::send() {
  the_controller().start_photo_archive(package_);
  ASSERT_TRUE(recorder_.wait_for_end());
}

}  // namespace test_support
