#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace core {

// The settings that stand in for the registry: UTF-8 text, one name=value a
// line. In names and values a backslash escapes "\\", "\n", "\r", "\t", "\="
// and "\xHH" for any other byte below 0x20 and for 0x7F; every other byte
// stands as it is, so any value round-trips. Blank lines and lines starting
// with '#' are skipped, a line without '=' is skipped with a log line, and of
// two lines with one name the later wins.
class settings_file {
 public:
  // path only names the file in log lines.
  static settings_file parse(std::string_view text, const std::string& path);
  std::string text() const;

  // Whether parse skipped a line: writing the file again would lose it.
  bool has_skipped_lines() const { return has_skipped_lines_; }

  // The value of name, or null.
  const std::string* find(const std::string& name) const;
  void set(const std::string& name, const std::string& value);

  // Reads the file at path; the errno value of a failure, 0 on success.
  int load(const std::string& path);
  // Writes the file through a temporary file and a rename, so a crash leaves
  // either the old file or the new one; a symbolic link stays a link and the
  // file keeps its mode (write_stored_file). The errno value of a failure, 0
  // on success.
  int save(const std::string& path) const;

 private:
  // In the order the names first came, as the file is written again.
  std::vector<std::pair<std::string, std::string>> entries_;
  // Name to its place in entries_: files grow to many thousand lines.
  std::unordered_map<std::string, std::size_t> index_;
  bool has_skipped_lines_ = false;
};

}  // namespace core
