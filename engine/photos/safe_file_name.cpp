#include "engine/photos/safe_file_name.hpp"

namespace parvel {

std::string safe_file_name(std::string name) {
  for (char& c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '/' || c == '\\' || byte < 0x20 || byte == 0x7F) {
      c = '_';
    }
  }
  if (name == "." || name == "..") {
    name = "_";
  }
  return name;
}

}  // namespace parvel
