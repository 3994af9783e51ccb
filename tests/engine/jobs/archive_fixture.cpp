#include "tests/engine/jobs/archive_fixture.hpp"

#include <filesystem>

#include "engine/app/application.hpp"
#include "engine/options/convert_option_manager.hpp"
#include "engine/options/resize_option_manager.hpp"
#include "tests/support/image_codecs.hpp"
#include "tests/support/sample_images.hpp"

namespace test_support {

namespace fs = std::filesystem;

parvel::controller& the_controller() {
  return *parvel::application::instance()->controller();
}

std::map<std::string, std::string> read_archive(const std::string& path) {
  EXPECT_EQ(unzip_test(path), 0);
  std::map<std::string, std::string> entries;
  for (auto& entry : python_read(path)) {
    entries[entry.name] = std::move(entry.data);
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

archive_test::~archive_test() {
  // The next test of the process would find the name taken.
  package_->remove_archive();
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

void archive_test::add_image(const std::string& relative, int width, int height) {
  namespace formats = core::graphics::image_formats;
  register_image_codecs();
  const fs::path path = folder_.path() / relative;
  fs::create_directories(path.parent_path());
  const auto format = path.extension() == ".png"   ? formats::png
                      : path.extension() == ".bmp" ? formats::bmp
                      : path.extension() == ".tif" ? formats::tiff
                      : path.extension() == ".gif" ? formats::gif
                                                   : formats::jpeg;
  write_image(photo_like(width, height), path.string(), format);
  package_->add_entries({parvel::photo_entry{path.string()}});
}

void archive_test::archive() {
  the_controller().start_photo_archive(package_);
  ASSERT_TRUE(recorder_.wait_for_end());
}

}  // namespace test_support
