#include "core/graphics/gdip/hd_photo_decoder_program.hpp"

#include <mutex>
#include <optional>

#include "core/module.hpp"

namespace core::graphics::gdip {

namespace {

std::mutex program_mutex;
std::optional<std::string> chosen_program;

std::string next_to_the_program() {
  const std::string program = get_module_file_name(get_current_module());
  const std::size_t slash = program.rfind('/');
  // Never a bare name, which would be looked up in the working folder.
  if (slash == std::string::npos) {
    return {};
  }
  return program.substr(0, slash + 1) + "lumbrel-hd-photo-decoder";
}

}  // namespace

std::string hd_photo_decoder_program() {
  std::lock_guard lock(program_mutex);
  if (!chosen_program) {
    chosen_program = next_to_the_program();
  }
  return *chosen_program;
}

void set_hd_photo_decoder_program(const std::string& path) {
  std::lock_guard lock(program_mutex);
  chosen_program = path;
}

}  // namespace core::graphics::gdip
