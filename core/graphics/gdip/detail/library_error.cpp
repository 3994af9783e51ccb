#include "core/graphics/gdip/detail/library_error.hpp"

#include <utility>

namespace core::graphics::gdip::detail {

namespace {

thread_local std::string decoded_file;
thread_local std::shared_ptr<const decoder_damage> decoded_damage;

std::string naming_the_file(const std::string& words) {
  return decoded_file.empty() ? words : "cannot decode '" + decoded_file + "': " + words;
}

}  // namespace

void decoder_damage::found(const std::string& words) {
  const std::lock_guard lock(lock_);
  words_ = words;
}

std::string decoder_damage::words() const {
  const std::lock_guard lock(lock_);
  return words_;
}

std::string decoder_damage_words() {
  const std::string words = decoded_damage ? decoded_damage->words() : std::string();
  return words.empty() ? words : naming_the_file(words);
}

std::string library_error_words(const vips::VError& error) {
  vips_error_clear();
  if (std::string damage = decoder_damage_words(); !damage.empty()) {
    return damage;
  }
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
  return naming_the_file(words);
}

void note_decoded_file(const std::string& path, std::shared_ptr<const decoder_damage> damage) {
  decoded_file = path;
  decoded_damage = std::move(damage);
}

failure_scope::failure_scope()
    : saved_(std::exchange(decoded_file, {})), saved_damage_(std::exchange(decoded_damage, {})) {}

failure_scope::~failure_scope() {
  decoded_file = std::move(saved_);
  decoded_damage = std::move(saved_damage_);
}

}  // namespace core::graphics::gdip::detail
