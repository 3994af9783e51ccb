#include "core/module.hpp"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

TEST(module, file_name_is_the_running_executable) {
  const std::string path = core::get_module_file_name(core::get_current_module());
  EXPECT_EQ(std::filesystem::path(path).filename(), "core_module_test");
  EXPECT_TRUE(std::filesystem::equivalent(path, "/proc/self/exe"));
  EXPECT_EQ(core::get_module_file_name(core::module_handle()), "");
}

}  // namespace
