#include "core/command_line.hpp"

#include <algorithm>

namespace core {

namespace {

constexpr char option_starts[] = "-/\\";

bool starts_option(char c) {
  return c == '-' || c == '/' || c == '\\';
}

std::string quoted_argument(const std::string& argument) {
  if (argument.find(' ') == std::string::npos) {
    return argument;
  }
  const std::size_t separator = argument.find_first_of(":=");
  if (!argument.empty() && starts_option(argument[0]) && separator != std::string::npos &&
      argument.find(' ') > separator) {
    return argument.substr(0, separator + 1) + '"' + argument.substr(separator + 1) + '"';
  }
  return '"' + argument + '"';
}

}  // namespace

std::string join_command_line(int argc, const char* const* argv) {
  std::string line;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) {
      line += ' ';
    }
    line += quoted_argument(argv[i]);
  }
  return line;
}

command_line_options parse_command_line(const std::string& original) {
  command_line_options options;
  std::string text = original;
  std::transform(text.begin(), text.end(), text.begin(), [](char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  });
  std::size_t position = 0;
  if (text.starts_with('"')) {
    position = text.find('"', 1);
  }
  while (position != std::string::npos) {
    const std::size_t option = text.find_first_of(option_starts, position);
    if (option == std::string::npos) {
      break;
    }
    const std::size_t key_end = text.find_first_of(":= ", option + 1);
    const std::string key = text.substr(option + 1, key_end - std::min(key_end, option + 1));
    std::string value;
    const std::size_t after = key_end == std::string::npos ? key_end : key_end + 1;
    if (after == std::string::npos || (after < text.size() && starts_option(text[after]))) {
      position = after;
    } else if (after < text.size() && text[after] == '"') {
      position = text.find('"', after + 1);
      value = text.substr(after + 1, position - std::min(position, after + 1));
    } else {
      position = text.find(' ', after);
      value = text.substr(after, position - std::min(position, after));
    }
    if (!key.empty()) {
      options.emplace(key, value);
    }
  }
  return options;
}

bool has_command_line_option(const command_line_options& options, const std::string& name) {
  return options.contains(name);
}

}  // namespace core
