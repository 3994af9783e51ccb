#pragma once

#include <cstdint>
#include <ostream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <boost/iostreams/filter/zlib.hpp>
#include <boost/iostreams/filtering_stream.hpp>

#include "core/io/archivers/zip_file_source.hpp"
#include "tests/support/shell.hpp"
#include "tests/support/temp_folder.hpp"

namespace test_support {

// Text that deflates well: numbered lines of a culture table.
inline std::string text_data(std::size_t size) {
  std::string text;
  for (int line = 0; text.size() < size; ++line) {
    text += "<string id=\"text_" + std::to_string(line) + "\">Line " + std::to_string(line * 7) +
            " of the table</string>\n";
  }
  text.resize(size);
  return text;
}

// Bytes that do not deflate, the same for the same seed.
inline std::string random_data(std::size_t size, unsigned seed) {
  std::mt19937 engine(seed);
  std::string bytes(size, '\0');
  for (auto& b : bytes) {
    b = static_cast<char>(engine());
  }
  return bytes;
}

// The whole entry at path, read in pieces of 8 KiB.
inline std::string read_entry(core::io::archivers::zip_file_source& reader,
                              const std::string& path) {
  reader.select(path);
  std::string data;
  char buffer[8192];
  for (std::streamsize n; (n = reader.read(buffer, sizeof buffer)) != -1;) {
    data.append(buffer, static_cast<std::size_t>(n));
  }
  return data;
}

// Little-endian fields of a record.
inline unsigned u16_at(const std::string& bytes, std::size_t at) {
  return static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8;
}
inline std::uint32_t u32_at(const std::string& bytes, std::size_t at) {
  return u16_at(bytes, at) | static_cast<std::uint32_t>(u16_at(bytes, at + 2)) << 16;
}

// Raw deflate of data, as zip entries hold it.
inline std::string raw_deflate(const std::string& data) {
  boost::iostreams::zlib_params params;
  params.noheader = true;
  std::ostringstream out;
  {
    boost::iostreams::filtering_ostream deflate;
    deflate.push(boost::iostreams::zlib_compressor(params));
    deflate.push(out);
    deflate << data;
  }
  return out.str();
}

// One entry as python3's zipfile module sees it.
struct python_entry {
  std::string name;
  int method = -1;
  std::string data;
};

inline std::string from_hex(const std::string& hex) {
  std::string bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
    bytes.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  }
  return bytes;
}

// Every entry python3's zipfile reads from the archive, after its testzip()
// found every CRC right; empty when python refuses the archive.
inline std::vector<python_entry> python_read(const std::string& archive,
                                             const std::string& password = "") {
  const std::string script =
      "import sys, zipfile\n"
      "z = zipfile.ZipFile(sys.argv[1])\n"
      "z.setpassword(sys.argv[2].encode() or None)\n"
      "bad = z.testzip()\n"
      "if bad is not None: sys.exit('bad entry ' + bad)\n"
      "for i in z.infolist():\n"
      "  print(i.filename.encode().hex(), i.compress_type, 'x' + z.read(i).hex())\n";
  std::string output;
  const auto status =
      run("python3 -c " + quoted(script) + " " + quoted(archive) + " " + quoted(password) + " 2>&1",
          &output);
  EXPECT_EQ(status, 0) << output.substr(0, 2000);
  std::vector<python_entry> entries;
  std::istringstream lines(output);
  int method;
  for (std::string name, data; status == 0 && lines >> name >> method >> data;) {
    entries.push_back({from_hex(name), method, from_hex(data.substr(1))});
  }
  return entries;
}

// One entry as it lies in the archive, read by python3's zipfile: the local
// header without its date and time, and the data as stored.
struct raw_entry {
  std::string name;
  int method = -1;
  std::uint32_t crc32 = 0;
  std::uint64_t compressed_size = 0;
  std::uint64_t size = 0;
  std::string header_digest;
  std::string data_digest;

  bool operator==(const raw_entry&) const = default;
  friend std::ostream& operator<<(std::ostream& out, const raw_entry& e) {
    return out << e.name << " method " << e.method << " crc " << e.crc32 << " sizes "
               << e.compressed_size << "/" << e.size << " header " << e.header_digest << " data "
               << e.data_digest;
  }
};

inline std::vector<raw_entry> python_raw_entries(const std::string& archive) {
  const std::string script =
      "import hashlib, struct, sys, zipfile\n"
      "z = zipfile.ZipFile(sys.argv[1])\n"
      "f = open(sys.argv[1], 'rb')\n"
      "for i in z.infolist():\n"
      "  f.seek(i.header_offset)\n"
      "  h = f.read(30)\n"
      "  n, e = struct.unpack('<HH', h[26:30])\n"
      "  h = h[:10] + h[14:] + f.read(n + e)\n"
      "  data = f.read(i.compress_size)\n"
      "  print(i.filename.encode().hex(), i.compress_type, i.CRC, i.compress_size, i.file_size,\n"
      "        hashlib.sha256(h).hexdigest(), hashlib.sha256(data).hexdigest())\n";
  std::string output;
  const auto status =
      run("python3 -c " + quoted(script) + " " + quoted(archive) + " 2>&1", &output);
  EXPECT_EQ(status, 0) << output.substr(0, 2000);
  std::vector<raw_entry> entries;
  std::istringstream lines(output);
  for (raw_entry e; lines >> e.name >> e.method >> e.crc32 >> e.compressed_size >> e.size >>
                    e.header_digest >> e.data_digest;) {
    e.name = from_hex(e.name);
    entries.push_back(e);
  }
  return entries;
}

// Info-ZIP's unzip -t: 0 when every entry tests good.
inline int unzip_test(const std::string& archive, const std::string& password = "") {
  std::string output;
  const auto status =
      run("unzip -t -qq " + (password.empty() ? "" : "-P " + quoted(password) + " ") +
              quoted(archive) + " 2>&1",
          &output);
  EXPECT_EQ(status, 0) << output.substr(0, 2000);
  return status;
}

// 7-Zip's test of every entry: 0 when all test good.
inline int seven_zip_test(const std::string& archive) {
  std::string output;
  const auto status = run("7z t -bd " + quoted(archive) + " 2>&1", &output);
  EXPECT_EQ(status, 0) << output.substr(0, 2000);
  return status;
}

// libarchive's bsdtar: the entries' names (-tf), then the data of every entry
// in archive order (-xOf); empty when it refuses the archive.
inline std::string bsdtar_list(const std::string& archive) {
  std::string output;
  const auto status = run("bsdtar -tf " + quoted(archive) + " 2>&1", &output);
  EXPECT_EQ(status, 0) << output.substr(0, 2000);
  return status == 0 ? output : std::string();
}
inline std::string bsdtar_data(const std::string& archive) {
  std::string output;
  const auto status = run("bsdtar -xOf " + quoted(archive), &output);
  EXPECT_EQ(status, 0);
  return status == 0 ? output : std::string();
}

}  // namespace test_support
