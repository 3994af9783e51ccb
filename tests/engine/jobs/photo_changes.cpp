#include "tests/engine/jobs/photo_changes.hpp"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/graphics/gdip/reading_hook.hpp"
#include "tests/support/temp_folder.hpp"

namespace test_support {

namespace {

namespace fs = std::filesystem;

// Written through the file as it stands: the same inode, as an editor's
// save in place.
void write_over(const std::string& path, const std::string& bytes, bool truncate) {
  const fs::file_time_type modified = fs::last_write_time(path);
  {
    std::ofstream file(path, std::ios::binary | std::ios::in | std::ios::out |
                                 (truncate ? std::ios::trunc : std::ios::openmode{}));
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  if (!truncate) {
    fs::resize_file(path, bytes.size());
  }
  fs::last_write_time(path, modified - std::chrono::hours(1));
}

bool is_mapped(const std::string& path) {
  std::ifstream maps("/proc/self/maps");
  for (std::string line; std::getline(maps, line);) {
    if (line.ends_with(" " + path)) {
      return true;
    }
  }
  return false;
}

}  // namespace

void rewrite_in_place(const std::string& path) {
  write_over(path, read_file(path), false);
}

void truncate_and_restore(const std::string& path) {
  const std::string bytes = read_file(path);
  fs::resize_file(path, 0);
  write_over(path, bytes, false);
}

void save_smaller(const std::string& path) {
  write_over(path, read_file(path).substr(0, 2048), true);
}

change_while_read::change_while_read(std::string path, photo_change change) {
  core::graphics::gdip::set_reading_hook(
      [this, path = std::move(path), change = std::move(change)](const std::string& read) {
        if (read == path && !made_.exchange(true)) {
          mapped_ = is_mapped(path);
          change(path);
        }
      });
}

change_while_read::~change_while_read() {
  core::graphics::gdip::set_reading_hook({});
}

}  // namespace test_support
