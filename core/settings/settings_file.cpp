#include "core/settings/settings_file.hpp"

#include <optional>

#include "core/atomic_file.hpp"
#include "core/io/filesystem/whole_file.hpp"
#include "core/log/logger.hpp"
#include "core/log/severity.hpp"

namespace core {

namespace {

constexpr char hex_digits[] = "0123456789ABCDEF";

void append_escaped(std::string& out, std::string_view text, bool is_name) {
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      case '=':
        // A value ends at the line's end, so only names need "=" escaped.
        out += is_name ? "\\=" : "=";
        break;
      default:
        if (byte < 0x20 || byte == 0x7F) {
          out += "\\x";
          out += hex_digits[byte >> 4];
          out += hex_digits[byte & 0xF];
        } else {
          out += c;
        }
    }
  }
}

std::optional<int> hex_value(char c) {
  if (c >= '0' && c <= '9') {
    return c - '0';
  }
  if (c >= 'A' && c <= 'F') {
    return c - 'A' + 10;
  }
  if (c >= 'a' && c <= 'f') {
    return c - 'a' + 10;
  }
  return std::nullopt;
}

// Unescapes text up to the first unescaped stop character (none: to the end);
// returns the position after that character, or npos when none was met. An
// unknown escape stands as it is written.
std::size_t unescape(std::string_view text, std::string& out, std::optional<char> stop) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (stop && c == *stop) {
      return i + 1;
    }
    if (c != '\\' || i + 1 == text.size()) {
      out += c;
      continue;
    }
    const char next = text[i + 1];
    switch (next) {
      case '\\':
        out += '\\';
        break;
      case 'n':
        out += '\n';
        break;
      case 'r':
        out += '\r';
        break;
      case 't':
        out += '\t';
        break;
      case '=':
        out += '=';
        break;
      case 'x': {
        const auto high = i + 2 < text.size() ? hex_value(text[i + 2]) : std::nullopt;
        const auto low = i + 3 < text.size() ? hex_value(text[i + 3]) : std::nullopt;
        if (high && low) {
          out += static_cast<char>(*high * 16 + *low);
          i += 2;
        } else {
          out += "\\x";
        }
        break;
      }
      default:
        out += '\\';
        out += next;
    }
    ++i;
  }
  return std::string_view::npos;
}

}  // namespace

settings_file settings_file::parse(std::string_view text, const std::string& path) {
  settings_file file;
  std::size_t line_number = 0;
  while (!text.empty()) {
    ++line_number;
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (line.ends_with('\r')) {
      line.remove_suffix(1);
    }
    if (line.empty() || line.starts_with('#')) {
      continue;
    }
    std::string name;
    const std::size_t value_start = unescape(line, name, '=');
    if (value_start == std::string_view::npos) {
      log::write(log::severity::debug, "Settings file '%s': line %u has no '=' and is skipped.",
                 path, line_number);
      file.has_skipped_lines_ = true;
      continue;
    }
    std::string value;
    unescape(line.substr(value_start), value, std::nullopt);
    file.set(name, value);
  }
  return file;
}

std::string settings_file::text() const {
  std::string out;
  for (const auto& [name, value] : entries_) {
    append_escaped(out, name, true);
    out += '=';
    append_escaped(out, value, false);
    out += '\n';
  }
  return out;
}

const std::string* settings_file::find(const std::string& name) const {
  const auto found = index_.find(name);
  return found == index_.end() ? nullptr : &entries_[found->second].second;
}

void settings_file::set(const std::string& name, const std::string& value) {
  const auto found = index_.find(name);
  if (found != index_.end()) {
    entries_[found->second].second = value;
    return;
  }
  entries_.emplace_back(name, value);
  index_.emplace(name, entries_.size() - 1);
}

int settings_file::load(const std::string& path) {
  std::string content;
  if (const int error = io::filesystem::read_whole_file(path, content)) {
    return error;
  }
  *this = parse(content, path);
  return 0;
}

int settings_file::save(const std::string& path) const {
  return write_stored_file(path, text());
}

}  // namespace core
