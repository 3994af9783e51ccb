#include "core/io/archivers/zip_compress.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <boost/crc.hpp>

#include "core/io/archivers/detail/zip_file_sink_impl.hpp"
#include "tests/core/io/archivers/zip_test_support.hpp"
#include "tests/support/expect_error.hpp"
#include "tests/support/table.hpp"

namespace {

using core::io::stream_failure;
using core::io::archivers::zip_compress;
using core::io::archivers::zip_entry;
using core::io::archivers::zip_file_source;
using test_support::expect_error;

struct source_file {
  std::string entry_path;
  std::string data;
  std::string name;      // as the archive names it
  std::uint16_t method;  // as written
};

struct archive_case {
  const char* name;
  std::vector<source_file> files;
  std::string password;
};

class written_archive : public testing::TestWithParam<archive_case> {};

TEST_P(written_archive, is_accepted_by_python_unzip_and_our_reader) {
  const auto& c = GetParam();
  test_support::temp_folder folder;
  const auto path = folder.file("send.zip");
  zip_compress archive(path);
  archive.set_password(c.password);
  std::map<std::string, std::string> first_of_name;
  for (const auto& file : c.files) {
    const auto source = folder.file("source");
    test_support::write_file(source, file.data);
    std::ifstream in(source, std::ios::binary);
    append_stream(file.entry_path, in, archive);
    first_of_name.emplace(file.name, file.data);
  }
  archive.close();

  const auto seen = test_support::python_read(path, c.password);
  ASSERT_EQ(seen.size(), c.files.size());
  for (std::size_t i = 0; i < seen.size(); ++i) {
    SCOPED_TRACE(c.files[i].name);
    EXPECT_EQ(seen[i].name, c.files[i].name);
    EXPECT_EQ(seen[i].method, c.files[i].method);
    EXPECT_TRUE(seen[i].data == c.files[i].data);
  }
  if (c.files.empty()) {  // unzip -t calls any empty archive an error
    EXPECT_EQ(test_support::read_file(path).size(), 22u);
  } else {
    test_support::unzip_test(path, c.password);
  }
  zip_file_source reader(core::io::filesystem::file_source{path});
  reader.set_password(c.password);
  ASSERT_EQ(reader.entries().size(), c.files.size());
  for (const auto& [name, data] : first_of_name) {  // a name given twice finds its first entry
    EXPECT_TRUE(test_support::read_entry(reader, name) == data) << name;
  }
}

const std::string text = test_support::text_data(20000);
const std::string noise = test_support::random_data(70000, 1);

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    rows, written_archive,
    testing::Values(
        archive_case{"empty_archive", {}, ""},
        archive_case{"text_is_deflated", {{"/photos/table.xml", text, "table.xml", 8}}, ""},
        archive_case{"random_bytes_are_stored", {{"IMG_0001.jpg", noise, "IMG_0001.jpg", 0}}, ""},
        archive_case{"same_leaf_name_twice", {{"a/IMG.jpg", "first photo", "IMG.jpg", 0},
                                              {"b/IMG.jpg", "second photo", "IMG.jpg", 0}}, ""},
        archive_case{"name_that_is_not_utf8", {{"/x/caf\xE9.jpg", "bytes", "caf\xEF\xBF\xBD.jpg", 0}}, ""},
        archive_case{"encrypted", {{"table.xml", text, "table.xml", 8}, {"IMG.jpg", noise, "IMG.jpg", 0},
                                   {"five.txt", "hello", "five.txt", 0}}, "s3cret"}),
    test_support::row_name());
// clang-format on

TEST(written_archive, unzip_extracts_utf8_names_as_they_are) {
  test_support::temp_folder folder;
  const auto path = folder.file("names.zip");
  const std::vector<std::string> names{"\xE6\x97\xA5\xE6\x9C\xAC-caf\xC3\xA9.jpg", "plain.jpg"};
  zip_compress archive(path);
  for (const auto& name : names) {
    std::istringstream in("photo");
    append_stream(name, in, archive);
  }
  archive.close();

  const auto into = folder.file("out");
  std::string listing;
  ASSERT_EQ(test_support::run("unzip -qq -d " + test_support::quoted(into) + " " +
                                  test_support::quoted(path) + " && LC_ALL=C ls " +
                                  test_support::quoted(into),
                              &listing),
            0);
  EXPECT_EQ(listing, names[1] + "\n" + names[0] + "\n");  // in byte order
}

// Writes entries through the writer's own interface, for what append_stream
// never asks for.
void write_entry(zip_compress& archive, const zip_entry& entry, const std::string& data) {
  auto& sink = archive.impl();
  sink.start_entry(entry);
  if (!entry.is_directory() && entry.link_target.empty()) {
    sink.write(data.data(), static_cast<std::streamsize>(data.size()));
    sink.finish_entry();
  }
}

TEST(written_archive, bzip2_raw_copies_links_folders_and_extra_fields_are_valid) {
  test_support::temp_folder folder;
  const auto path = folder.file("kinds.zip");
  zip_compress archive(path);
  constexpr std::time_t t = 1245073530;
  zip_entry bzip2{.name = "table.bz2.xml", .method = 12, .size = text.size(), .atime = t};
  bzip2.uid = 1000, bzip2.gid = 100;
  write_entry(archive, bzip2, text);
  // Deflated noise is longer than the noise: a raw copy still goes in whole.
  const auto deflated = test_support::raw_deflate(noise);
  boost::crc_32_type crc;
  crc.process_bytes(noise.data(), noise.size());
  zip_entry raw{.name = "raw.jpg", .crc32 = crc.checksum(), .compressed_size = deflated.size()};
  raw.size = noise.size(), raw.mtime = raw.ctime = t;
  write_entry(archive, raw, deflated);
  write_entry(archive, {.name = "latest.xml", .link_target = "table.bz2.xml", .unix_mode = 0xA1FF},
              "");
  write_entry(archive, {.name = "cultures", .dos_attributes = 0x10, .unix_mode = 0x41ED}, "");
  archive.close();

  const auto seen = test_support::python_read(path);
  ASSERT_EQ(seen.size(), 4u);
  EXPECT_EQ(seen[0].method, 12);
  EXPECT_TRUE(seen[0].data == text);
  EXPECT_EQ(seen[1].method, 8);
  EXPECT_TRUE(seen[1].data == noise);
  EXPECT_EQ(seen[2].data, "table.bz2.xml");
  EXPECT_EQ(seen[3].name, "cultures/");
  test_support::unzip_test(path);

  zip_file_source reader(core::io::filesystem::file_source{path});
  EXPECT_TRUE(test_support::read_entry(reader, "table.bz2.xml") == text);
  EXPECT_EQ(reader.selected().atime, t);
  EXPECT_EQ(reader.selected().uid, 1000);
  EXPECT_EQ(test_support::read_entry(reader, "latest.xml"), "");
  EXPECT_EQ(reader.selected().link_target, "table.bz2.xml");
  EXPECT_TRUE(reader.entries()[3].is_directory());
}

// Only the 16-bit count of the end record below 0xFFFF keeps an archive out
// of ZIP64; from 0xFFFF entries on, the ZIP64 records carry the count.
class entry_count : public testing::TestWithParam<std::size_t> {};

TEST_P(entry_count, switches_to_zip64_records_at_65535) {
  const std::size_t count = GetParam();
  test_support::temp_folder folder;
  const auto path = folder.file("many.zip");
  zip_compress archive(path);
  for (std::size_t i = 0; i < count; ++i) {
    write_entry(archive, {.name = std::to_string(i) + ".txt", .size = 5}, "hello");
  }
  archive.close();

  const auto bytes = test_support::read_file(path);
  const auto end = bytes.size() - 22;
  EXPECT_EQ(test_support::u16_at(bytes, end + 8), std::min<std::size_t>(count, 0xFFFF));
  EXPECT_EQ(test_support::u16_at(bytes, end + 10), std::min<std::size_t>(count, 0xFFFF));
  EXPECT_EQ(bytes.substr(end - 20, 4) == "PK\x06\x07", count >= 0xFFFF);

  zip_file_source reader(core::io::filesystem::file_source{path});
  ASSERT_EQ(reader.entries().size(), count);
  EXPECT_EQ(test_support::read_entry(reader, std::to_string(count - 1) + ".txt"), "hello");
  EXPECT_EQ(test_support::python_read(path).size(), count);
  test_support::unzip_test(path);
}

INSTANTIATE_TEST_SUITE_P(rows, entry_count, testing::Values(65534, 65536));

// Noise, which the writer gives up deflating and reads again to store: on
// that second pass the source fails halfway.
class failing_second_pass : public std::stringbuf {
 public:
  failing_second_pass() : std::stringbuf(noise, std::ios_base::in) {}

 protected:
  pos_type seekoff(off_type off, std::ios_base::seekdir dir,
                   std::ios_base::openmode which) override {
    const auto at = std::stringbuf::seekoff(off, dir, which);
    if (dir == std::ios_base::beg && ++rewinds_ == 2) {
      setg(eback(), gptr(), eback() + noise.size() / 2);
    }
    return at;
  }
  int_type underflow() override {
    if (rewinds_ >= 2) {
      throw std::ios_base::failure("disk gone");
    }
    return std::stringbuf::underflow();
  }

 private:
  int rewinds_ = 0;
};

struct failure_case {
  const char* name;
  std::function<void(zip_compress&)> action;
  bool stream_error;  // core::io::stream_failure, else std::runtime_error
  const char* text;
};

class writer_failure : public testing::TestWithParam<failure_case> {};

TEST_P(writer_failure, has_its_type_and_text) {
  const auto& c = GetParam();
  test_support::temp_folder folder;
  zip_compress archive(folder.file("x.zip"));
  const auto action = [&] { c.action(archive); };
  if (c.stream_error) {
    expect_error<stream_failure>(action, c.text);
  } else {
    expect_error<std::runtime_error>(action, c.text);
  }
}

INSTANTIATE_TEST_SUITE_P(
    rows, writer_failure,
    testing::Values(
        failure_case{"start_while_give_up_is_pending",
                     [](zip_compress& archive) {
                       archive.impl().start_entry({.name = "a", .method = 0, .size = 10});
                       try {
                         archive.impl().write(noise.data(), 20);
                       } catch (const core::io::archivers::give_up_compression&) {
                       }
                       archive.impl().start_entry({.name = "b", .size = 10});
                     },
                     false, "need to rewind the current entry"},
        failure_case{"close_after_an_unfinished_entry",
                     [](zip_compress& archive) {
                       archive.impl().start_entry({.name = "a", .size = 10});
                       archive.close();
                     },
                     false, "ZIP entry size mismatch"},
        failure_case{"raw_copy_of_another_length",
                     [](zip_compress& archive) {
                       archive.impl().start_entry(
                           {.name = "a", .compressed_size = 10, .size = 100});
                       archive.impl().write("12345", 5);
                       archive.impl().finish_entry();
                     },
                     true, "ZIP entry size mismatch"},
        failure_case{"after_abort",
                     [](zip_compress& archive) {
                       archive.impl().start_entry({.name = "a", .size = text.size()});
                       archive.abort();
                       archive.impl().write(text.data(), static_cast<std::streamsize>(text.size()));
                       archive.impl().finish_entry();
                     },
                     true, "bad device"},
        failure_case{"stored_copy_failing_midway",
                     [](zip_compress& archive) {
                       failing_second_pass buffer;
                       std::istream in(&buffer);
                       append_stream("/tmp/IMG.jpg", in, archive);
                     },
                     false, "Cannot append the stream '/tmp/IMG.jpg' to the archive: bad read"}),
    test_support::row_name());

}  // namespace
