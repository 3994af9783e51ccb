#include "core/graphics/gdip/decoder_scratch_folder.hpp"

#include <mutex>

namespace core::graphics::gdip {

namespace {

std::mutex folder_mutex;
std::string chosen_folder;

}  // namespace

void set_decoder_scratch_folder(const std::string& folder) {
  std::lock_guard lock(folder_mutex);
  chosen_folder = folder;
}

std::string decoder_scratch_folder() {
  std::lock_guard lock(folder_mutex);
  return chosen_folder;
}

}  // namespace core::graphics::gdip
