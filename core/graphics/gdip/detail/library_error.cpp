#include "core/graphics/gdip/detail/library_error.hpp"

#include <utility>

namespace core::graphics::gdip::detail {

namespace {

thread_local std::string decoded_file;

}  // namespace

std::string library_error_words(const vips::VError& error) {
  vips_error_clear();
  std::string words;
  std::string_view text = error.what();
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    if (!line.empty()) {
      words += (words.empty() ? "" : "; ") + std::string(line);
    }
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
  }
  return decoded_file.empty() ? words : "cannot decode '" + decoded_file + "': " + words;
}

void note_decoded_file(const std::string& path) {
  decoded_file = path;
}

failure_scope::failure_scope() : saved_(std::exchange(decoded_file, {})) {}

failure_scope::~failure_scope() {
  decoded_file = std::move(saved_);
}

}  // namespace core::graphics::gdip::detail
