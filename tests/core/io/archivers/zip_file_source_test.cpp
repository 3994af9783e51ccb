#include "core/io/archivers/zip_file_source.hpp"

#include <gtest/gtest.h>

#include <string>

#include "core/io/archivers/detail/little_endian.hpp"
#include "tests/core/io/archivers/zip_test_support.hpp"
#include "tests/support/expect_error.hpp"
#include "tests/support/table.hpp"

namespace {

using core::io::stream_failure;
using core::io::archivers::password_incorrect;
using core::io::archivers::zip_file_source;
using test_support::expect_error;
using test_support::quoted;

// Files that Info-ZIP packs in the tests below.
class info_zip_folder {
 public:
  info_zip_folder() {
    test_support::write_file(folder_.file("table.xml"), test_support::text_data(6000));
    test_support::write_file(folder_.file("photo.jpg"), test_support::random_data(70000, 7));
    std::filesystem::create_directories(folder_.path() / "cultures");
    test_support::write_file(folder_.file("cultures/parvel_de-DE.xml"), "<localization/>");
    test_support::write_file(folder_.file("comment.txt"), std::string(100, 'c'));
  }
  std::string make(const std::string& zip_command) {
    const auto command = "cd " + quoted(folder_.path().string()) + " && " + zip_command;
    EXPECT_EQ(test_support::run(command + " 2>&1"), 0) << command;
    return folder_.file("x.zip");
  }
  std::string contents(const std::string& name) const {
    return test_support::read_file(folder_.file(name));
  }
  const test_support::temp_folder& folder() const { return folder_; }

 private:
  test_support::temp_folder folder_;
};

struct info_zip_case {
  const char* name;
  const char* command;
  const char* entry;
  const char* source;  // the file the entry was made from
  const char* password;
  std::uint16_t method;
};

class info_zip_archive : public testing::TestWithParam<info_zip_case> {};

TEST_P(info_zip_archive, reads_back_the_packed_file) {
  const auto& c = GetParam();
  info_zip_folder files;
  zip_file_source reader(core::io::filesystem::file_source(files.make(c.command)));
  reader.set_password(c.password);
  EXPECT_EQ(test_support::read_entry(reader, c.entry), files.contents(c.source));
  EXPECT_EQ(reader.selected().method, c.method);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    rows, info_zip_archive,
    testing::Values(
        //            name                       command                                    entry         source       password  method
        info_zip_case{"deflated",                "zip -q x.zip table.xml",                  "table.xml", "table.xml", "",       8},
        info_zip_case{"with_a_comment",          "zip -q -z x.zip table.xml < comment.txt", "table.xml", "table.xml", "",       8},
        info_zip_case{"data_descriptors",        "zip -q -fd x.zip table.xml photo.jpg",    "photo.jpg", "photo.jpg", "",       8},
        info_zip_case{"streamed_through_pipes",  "zip -q - - < table.xml | cat > x.zip",    "-",         "table.xml", "",       8},
        info_zip_case{"bzip2",                   "zip -q -Z bzip2 x.zip table.xml",         "table.xml", "table.xml", "",       12},
        info_zip_case{"encrypted",               "zip -q -P secret x.zip table.xml",        "table.xml", "table.xml", "secret", 8},
        info_zip_case{"found_by_backslash_path", "zip -q -r x.zip cultures",
                      "cultures\\parvel_de-DE.xml", "cultures/parvel_de-DE.xml", "", 0}),
    test_support::row_name());
// clang-format on

TEST(info_zip_archive, folders_and_links_are_described_not_read) {
  info_zip_folder files;
  std::filesystem::create_symlink("table.xml", files.folder().path() / "link.xml");
  zip_file_source reader(
      core::io::filesystem::file_source(files.make("zip -q -r -y x.zip cultures link.xml")));
  ASSERT_EQ(reader.entries().size(), 3u);
  EXPECT_EQ(reader.entries()[0].name, "cultures");
  EXPECT_TRUE(reader.entries()[0].is_directory());

  EXPECT_EQ(test_support::read_entry(reader, "link.xml"), "");
  EXPECT_EQ(reader.selected().link_target, "table.xml");
  EXPECT_EQ(test_support::read_entry(reader, "cultures"), "");
}

TEST(info_zip_archive, damage_is_refused_with_the_error_of_its_kind) {
  info_zip_folder files;
  const auto path = files.make("zip -q -P secret x.zip table.xml");
  {
    zip_file_source reader(core::io::filesystem::file_source{path});
    reader.set_password("wrong");
    reader.select("table.xml");  // the password is checked at the first read
    char byte;
    expect_error<password_incorrect>([&] { reader.read(&byte, 1); }, "password incorrect");
    expect_error<std::runtime_error>([&] { reader.select("TABLE.xml"); }, "no such path");
  }

  const auto plain = files.make("rm x.zip && zip -q x.zip table.xml");
  auto bytes = test_support::read_file(plain);
  const auto original = bytes;
  bytes[30 + 9 + 24 + 200] ^= 0x01;  // inside the deflated data, past header, name and extra
  test_support::write_file(plain, bytes);
  zip_file_source damaged(core::io::filesystem::file_source{plain});
  expect_error<stream_failure>([&] { test_support::read_entry(damaged, "table.xml"); },
                               "CRC missmatch");

  const auto open_cut = [&](std::size_t kept) {
    test_support::write_file(plain, original.substr(0, kept));
    zip_file_source reader(core::io::filesystem::file_source{plain});
  };
  for (const auto kept : {original.size() - 10, original.size() / 2, std::size_t{21}}) {
    expect_error<std::runtime_error>([&] { open_cut(kept); }, "cannot find ZIP footer");
  }
}

// An archive of one stored entry "a.txt", laid out by hand so that single
// fields can be made wrong.
struct crafted {
  std::string data = "hello";
  std::uint16_t method = 0;
  std::uint16_t flags = 0;
  std::uint32_t crc = 0x3610A686;  // of "hello"
  std::uint32_t compressed_size = 5;
  std::uint32_t size = 5;
  std::string local_extra;
  std::string central_extra;
  std::uint32_t local_signature = 0x04034B50;
  std::uint32_t central_signature = 0x02014B50;
  std::string comment;

  std::string bytes() const {
    using core::io::archivers::detail::record_writer;
    record_writer local;
    local.u32(local_signature).u16(20).u16(flags).u16(method).u16(0).u16(0x21).u32(crc);
    local.u32(compressed_size).u32(size).u16(5).u16(static_cast<std::uint16_t>(local_extra.size()));
    local.bytes("a.txt").bytes(local_extra).bytes(data);
    record_writer central;
    central.u32(central_signature).u16(20).u16(20).u16(flags).u16(method).u16(0).u16(0x21);
    central.u32(crc).u32(compressed_size).u32(size).u16(5);
    central.u16(static_cast<std::uint16_t>(central_extra.size())).u16(0).u16(0).u16(0);
    central.u32(0x01A40020).u32(0).bytes("a.txt").bytes(central_extra);
    record_writer end;
    end.u32(0x06054B50).u16(0).u16(0).u16(1).u16(1);
    end.u32(static_cast<std::uint32_t>(central.data().size()));
    end.u32(static_cast<std::uint32_t>(local.data().size()));
    end.u16(static_cast<std::uint16_t>(comment.size())).bytes(comment);
    return local.data() + central.data() + end.data();
  }
};

std::string field(std::uint16_t id, const std::string& data, int declared = -1) {
  core::io::archivers::detail::record_writer out;
  out.u16(id).u16(static_cast<std::uint16_t>(declared < 0 ? data.size() : declared)).bytes(data);
  return out.data();
}

enum class stage { none, open, select, read };

struct crafted_case {
  const char* name;
  crafted archive;
  stage fails_at;
  bool stream_error;  // core::io::stream_failure, else std::runtime_error
  const char* text;
};

class crafted_archive : public testing::TestWithParam<crafted_case> {};

TEST_P(crafted_archive, is_read_or_refused_at_its_stage) {
  const auto& c = GetParam();
  test_support::temp_folder folder;
  const auto path = folder.file("crafted.zip");
  test_support::write_file(path, c.archive.bytes());
  const auto check = [&](stage at, auto&& f) {
    if (c.fails_at != at) {
      f();
    } else if (c.stream_error) {
      expect_error<stream_failure>(f, c.text);
    } else {
      expect_error<std::runtime_error>(f, c.text);
    }
  };
  std::unique_ptr<zip_file_source> reader;
  check(stage::open, [&] {
    reader = std::make_unique<zip_file_source>(core::io::filesystem::file_source{path});
  });
  if (!reader || c.fails_at == stage::open) {
    return;
  }
  check(stage::select, [&] { reader->select("a.txt"); });
  if (c.fails_at == stage::select) {
    return;
  }
  check(stage::read, [&] { EXPECT_EQ(test_support::read_entry(*reader, "a.txt"), "hello"); });
}

const std::string zip64_sizes = std::string("\x05\0\0\0\0\0\0\0\x05\0\0\0\0\0\0\0", 16);

constexpr std::uint32_t all_ones = 0xFFFFFFFF;

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    rows, crafted_archive,
    testing::Values(
        crafted_case{"footer_across_two_blocks", {.comment = std::string(1022, 'c')}, stage::none, false, ""},
        crafted_case{"footer_behind_a_long_comment", {.comment = std::string(5000, 'c')}, stage::none, false, ""},
        crafted_case{"zip64_local_sizes", {.compressed_size = all_ones, .size = all_ones,
                     .local_extra = field(1, zip64_sizes), .central_extra = field(1, zip64_sizes)}, stage::none, false, ""},
        crafted_case{"short_local_unix_id_is_ignored", {.local_extra = field(0x7855, "\x01\x02")}, stage::none, false, ""},
        crafted_case{"extra_field_past_its_end", {.central_extra = field(0x5455, "\x01", 9)}, stage::open, true,
                     "bad read"},
        crafted_case{"zip64_field_too_short", {.size = all_ones, .central_extra = field(1, zip64_sizes.substr(0, 4))},
                     stage::open, false, "bad ZIP64 extended header"},
        crafted_case{"local_zip64_field_too_short", {.compressed_size = all_ones, .size = all_ones,
                     .local_extra = field(1, zip64_sizes.substr(0, 8)), .central_extra = field(1, zip64_sizes)},
                     stage::select, false, "bad ZIP64 extended header"},
        crafted_case{"empty_timestamp", {.central_extra = field(0x5455, "")}, stage::open, false,
                     "bad ZIP extended timestamp"},
        crafted_case{"timestamp_missing_its_times", {.local_extra = field(0x5455, "\x07")},
                     stage::select, false, "bad ZIP extended timestamp"},
        crafted_case{"bad_central_signature", {.central_signature = 0x02014B51}, stage::open, false, "bad ZIP signature"},
        crafted_case{"bad_local_signature", {.local_signature = 0}, stage::select, false, "bad ZIP signature"},
        crafted_case{"unknown_method", {.method = 99}, stage::select, false, "unsupported ZIP format"},
        crafted_case{"encrypted_without_room_for_its_header", {.flags = 1}, stage::select, false, "bad ZIP encryption"},
        crafted_case{"wrong_crc", {.crc = 0x3610A687}, stage::read, true, "CRC missmatch"},
        crafted_case{"more_data_than_its_size", {.size = 4}, stage::read, true, "ZIP entry size mismatch"},
        crafted_case{"less_data_than_its_size", {.size = 6}, stage::read, true, "ZIP entry size mismatch"}),
    test_support::row_name());
// clang-format on

}  // namespace
