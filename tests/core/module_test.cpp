#include "core/module.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

namespace {

TEST(module, file_name_is_the_running_executable) {
  const std::string path = core::get_module_file_name(core::get_current_module());
  EXPECT_EQ(std::filesystem::path(path).filename(), "core_module_test");
  EXPECT_TRUE(std::filesystem::equivalent(path, "/proc/self/exe"));
  EXPECT_EQ(core::get_module_file_name(core::module_handle()), "");
}

TEST(module, resources_found_by_number_and_type) {
  const auto module = core::get_current_module();
  const std::string table = core::load_resource(module, 132, "RT_BIN");
  EXPECT_TRUE(table.starts_with("<?xml version=\"1.0\" encoding=\"utf-8\"?>")) << table;
  EXPECT_TRUE(table.ends_with("</localization>\n"));
  EXPECT_TRUE(core::resource_exists(module, 132, "RT_BIN"));
  EXPECT_EQ(core::load_resource(module, 133, "RT_BIN"), "");
  EXPECT_FALSE(core::resource_exists(module, 132, "PNG"));
  EXPECT_FALSE(core::resource_exists(core::module_handle(), 132, "RT_BIN"));
}

}  // namespace
