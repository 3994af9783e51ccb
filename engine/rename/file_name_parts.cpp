#include "engine/rename/file_name_parts.hpp"

#include "engine/rename/rename_alg.hpp"

namespace parvel {

file_name_parts split_at_last_dot(const std::string& file_name) {
  const std::size_t dot = file_name.rfind('.');
  if (dot == std::string::npos) {
    return {file_name, {}};
  }
  return {file_name.substr(0, dot), file_name.substr(dot)};
}

std::string target_name(rename_alg& alg, const std::string& file_name) {
  const file_name_parts parts = split_at_last_dot(file_name);
  return alg.apply(parts.stem) + parts.extension;
}

}  // namespace parvel
