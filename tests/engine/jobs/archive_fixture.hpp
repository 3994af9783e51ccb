#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/controller/controller.hpp"
#include "engine/photos/package_info.hpp"
#include "tests/core/io/archivers/zip_test_support.hpp"
#include "tests/engine/jobs/job_recorder.hpp"
#include "tests/support/temp_folder.hpp"

namespace test_support {

parvel::controller& the_controller();

// The entries as python's zipfile reads them, after its own CRC check and
// unzip -t's.
std::map<std::string, std::string> read_archive(const std::string& path);
std::vector<std::string> names_of(const std::map<std::string, std::string>& entries);

// A photo set of files in a temporary folder, sent through the controller.
// The convert and resize choices are put back afterwards.
class archive_test : public testing::Test {
 protected:
  archive_test();
  ~archive_test() override;

  // Adds a file holding bytes to the set; its path.
  std::string add_file(const std::string& relative, const std::string& bytes);
  // Adds a photo-like image of that size, in the format of its extension
  // (.png, .bmp, .tif, .gif, else JPEG).
  void add_image(const std::string& relative, int width, int height);
  // Runs the archive job through the controller and waits for its end.
  void archive();

  temp_folder folder_;
  std::shared_ptr<parvel::package_info> package_;
  job_recorder recorder_{the_controller()};
};

}  // namespace test_support
