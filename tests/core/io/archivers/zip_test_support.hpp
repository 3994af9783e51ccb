#pragma once

#include <random>
#include <string>

#include "core/io/archivers/zip_file_source.hpp"
#include "tests/core/io/io_test_support.hpp"

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

}  // namespace test_support
