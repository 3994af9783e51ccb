#include "engine/rename/file_name_parts.hpp"

#include <algorithm>

#include "engine/rename/file_name_length.hpp"
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

std::vector<std::string> target_names(rename_alg& alg, const std::vector<std::string>& file_names) {
  std::vector<file_name_parts> files;
  files.reserve(file_names.size());
  for (const std::string& name : file_names) {
    files.push_back(split_at_last_dot(name));
  }
  // The stems the strategy makes when each file's stem loses its last
  // `excess` bytes.
  const auto stems = [&](const std::vector<std::size_t>& excess) {
    alg.reset();
    std::vector<std::string> made;
    made.reserve(files.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
      const std::string& stem = files[i].stem;
      made.push_back(alg.apply(
          std::string(cut_at_character(stem, stem.size() - std::min(excess[i], stem.size())))));
    }
    return made;
  };

  std::vector<std::size_t> excess(files.size(), 0);
  std::vector<std::string> made = stems(excess);
  bool too_long = false;
  for (std::size_t i = 0; i < files.size(); ++i) {
    const std::size_t size = made[i].size() + files[i].extension.size();
    if (size > longest_file_name) {
      excess[i] = size - longest_file_name;
      too_long = true;
    }
  }
  if (too_long) {
    made = stems(excess);
  }

  std::vector<std::string> names;
  names.reserve(files.size());
  for (std::size_t i = 0; i < files.size(); ++i) {
    names.push_back(fit_file_name(made[i], "", files[i].extension));
  }
  return names;
}

}  // namespace parvel
