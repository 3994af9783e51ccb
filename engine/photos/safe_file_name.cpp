#include "engine/photos/safe_file_name.hpp"

#include <string_view>

namespace parvel {

namespace {

constexpr std::string_view refused_by_windows = ":*?\"<>|";

}  // namespace

std::string safe_file_name(std::string name) {
  for (char& c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '/' || c == '\\' || byte < 0x20 || byte == 0x7F ||
        refused_by_windows.find(c) != std::string_view::npos) {
      c = '_';
    }
  }
  // Windows drops them, so "a." and "a" would land on one file.
  for (auto c = name.rbegin(); c != name.rend() && (*c == '.' || *c == ' '); ++c) {
    *c = '_';
  }
  return name;
}

}  // namespace parvel
