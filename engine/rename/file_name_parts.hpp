#pragma once

#include <string>
#include <vector>

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

// The target names of files in their order, numbered from the strategy's
// start (it is reset first), each within longest_file_name bytes. A name too
// long is made again from its file's stem shortened at the end, so that the
// scheme's texts and counters stay whole: a second round from a reset, which
// numbers every file as the first did. Where that is not enough (texts of
// the scheme alone too long), the name's stem gives way at its end.
std::vector<std::string> target_names(rename_alg& alg, const std::vector<std::string>& file_names);

}  // namespace parvel
