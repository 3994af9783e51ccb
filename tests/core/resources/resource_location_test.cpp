#include <gtest/gtest.h>

#include <boost/lexical_cast.hpp>
#include <sstream>
#include <stdexcept>

#include "core/io/archivers/zip_compress.hpp"
#include "core/io/stream_failure.hpp"
#include "core/resources/resource_location_inprocess.hpp"
#include "core/resources/resource_location_zip.hpp"
#include "tests/support/expect_error.hpp"
#include "tests/support/temp_folder.hpp"

namespace {

TEST(resource_location_inprocess, reads_the_built_in_table) {
  const core::resource_location_inprocess location("localization", "RT_BIN");
  const std::string table = location.read("132");
  EXPECT_TRUE(table.starts_with("<?xml version=\"1.0\" encoding=\"utf-8\"?>")) << table;
  EXPECT_TRUE(table.ends_with("</localization>\n"));
  EXPECT_TRUE(location.exists("132"));
  std::stringstream content;
  content << location.open("132")->rdbuf();
  EXPECT_EQ(content.str(), table);
}

TEST(resource_location_inprocess, bad_or_missing_names_fail_to_read) {
  const core::resource_location_inprocess location("localization", "RT_BIN");
  for (const std::string name : {"abc", "-1", "65668"}) {
    EXPECT_FALSE(location.exists(name));
    try {
      location.read(name);
      ADD_FAILURE() << "no exception for " << name;
    } catch (const boost::bad_lexical_cast& e) {
      EXPECT_STREQ(e.what(),
                   "bad lexical cast: source type value could not be interpreted as target");
    }
  }
  for (const auto& [type, name] : {std::pair{"RT_BIN", "133"}, std::pair{"PNG", "132"}}) {
    const core::resource_location_inprocess other("localization", type);
    EXPECT_FALSE(other.exists(name));
    test_support::expect_error<std::runtime_error>([&] { other.read(name); },
                                                   "Cannot read the inprocess resource.");
  }
}

// Cultures.zip as our zip writer makes it: a table, in a folder that the
// entry name drops, and an empty entry.
TEST(resource_location_zip, reads_entries_and_fails_on_missing_ones) {
  const test_support::temp_folder folder;
  const std::string table = "<localization culture=\"de-DE\"/>\n";
  {
    core::io::archivers::zip_compress writer(folder.file("Cultures.zip"));
    std::istringstream text(table);
    core::io::archivers::append_stream("cultures/parvel_de-DE.xml", text, writer);
    std::istringstream empty;
    core::io::archivers::append_stream("empty.txt", empty, writer);
    writer.close();
  }
  const core::resource_location_zip location("localization", folder.file("Cultures.zip"));
  EXPECT_TRUE(location.exists("parvel_de-DE.xml"));
  EXPECT_EQ(location.read("parvel_de-DE.xml"), table);
  std::stringstream content;
  content << location.open("parvel_de-DE.xml")->rdbuf();
  EXPECT_EQ(content.str(), table);
  EXPECT_EQ(location.read("empty.txt"), "");
  EXPECT_FALSE(location.exists("parvel_fr-FR.xml"));
  test_support::expect_error<std::runtime_error>([&] { location.read("parvel_fr-FR.xml"); },
                                                 "no such path");

  const core::resource_location_zip missing("localization", folder.file("none.zip"));
  EXPECT_FALSE(missing.exists("parvel_de-DE.xml"));
  test_support::expect_error<core::io::stream_failure>([&] { missing.read("parvel_de-DE.xml"); },
                                                       "bad open: No such file or directory");
  test_support::write_file(folder.file("table.xml"), table);
  const core::resource_location_zip not_zip("localization", folder.file("table.xml"));
  EXPECT_FALSE(not_zip.exists("parvel_de-DE.xml"));
  test_support::expect_error<std::runtime_error>([&] { not_zip.open("parvel_de-DE.xml"); },
                                                 "cannot find ZIP footer");
}

}  // namespace
