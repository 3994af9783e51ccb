#pragma once

#include <string>

namespace parvel {

// A file name split at its last dot: "a.b.JPG" is {"a.b", ".JPG"}; a name
// without a dot has an empty extension; ".jpg" has an empty stem.
struct file_name_parts {
  std::string stem;
  std::string extension;  // dot included
};

file_name_parts split_at_last_dot(const std::string& file_name);

// The name a renamed photo gets: the strategy's stem and the extension as it was.
class rename_alg;
std::string target_name(rename_alg& alg, const std::string& file_name);

}  // namespace parvel
