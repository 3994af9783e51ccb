#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string_view>

#include "tools/service/route.hpp"

namespace service {

// An uploaded body written to a file as it arrives: first to a partial file
// beside its place, made at the first byte, moved into place by keep(). A
// body that never arrives whole leaves nothing behind.
class kept_file final : public body_sink {
 public:
  // unique distinguishes the partial files of uploads running at once.
  kept_file(std::filesystem::path place, std::uint64_t unique);
  ~kept_file() override;
  kept_file(const kept_file&) = delete;
  kept_file& operator=(const kept_file&) = delete;

  void write(std::string_view bytes) override;
  // Whether the whole body now stands in its place, replacing what was there.
  bool keep();

 private:
  std::filesystem::path place_;
  std::filesystem::path partial_;
  std::ofstream out_;
  bool kept_ = false;
};

}  // namespace service
