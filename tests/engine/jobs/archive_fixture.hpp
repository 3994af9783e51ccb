#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/controller/controller.hpp"
#include "engine/photos/package_info.hpp"
#include "tests/engine/jobs/send_recorder.hpp"
#include "tests/support/temp_folder.hpp"

namespace test_support {

parvel::controller& the_controller();

std::string random_bytes(std::size_t size, unsigned seed);

// The entries as python's zipfile reads them, after its own CRC check.
std::map<std::string, std::string> read_archive(const std::string& path);
std::vector<std::string> names_of(const std::map<std::string, std::string>& entries);

// A photo set of files in a temporary folder, sent through the controller.
class archive_test : public testing::Test {
 protected:
  void TearDown() override;

  // Adds a file holding bytes to the set; its path.
  std::string add_file(const std::string& relative, const std::string& bytes);
  // Runs the archive job through the controller and waits for its end.
  void send();

  temp_folder folder_;
  std::shared_ptr<parvel::package_info> package_;
  send_recorder recorder_{the_controller()};

 public:
  archive_test();
};

}  // namespace test_support
