#include "tools/service/kept_file.hpp"

#include <string>
#include <system_error>

namespace service {

kept_file::kept_file(std::filesystem::path place, std::uint64_t unique)
    : place_(std::move(place)), partial_(place_.string() + ".part" + std::to_string(unique)) {}

kept_file::~kept_file() {
  if (!kept_) {
    out_.close();
    std::error_code ignored;
    std::filesystem::remove(partial_, ignored);
  }
}

// A failed write leaves the stream failed; keep() then reports it.
void kept_file::write(std::string_view bytes) {
  if (!out_.is_open() && !out_.fail()) {
    out_.open(partial_, std::ios::binary | std::ios::trunc);
  }
  out_.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

bool kept_file::keep() {
  if (!out_.is_open()) {
    return false;
  }
  out_.close();
  if (out_.fail()) {
    return false;
  }
  std::error_code error;
  std::filesystem::rename(partial_, place_, error);
  kept_ = !error;
  return kept_;
}

}  // namespace service
