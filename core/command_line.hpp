#pragma once

#include <map>
#include <string>

namespace core {

// Lower-cased option names to their lower-cased values; the first occurrence
// of a name wins.
using command_line_options = std::map<std::string, std::string>;

// The program's arguments (argv[0] left out) joined into one line by blanks.
// An argument holding a blank is quoted: its value after "-name=" or
// "-name:", or else the whole argument.
std::string join_command_line(int argc, const char* const* argv);

// Options start at "-", "/" or "\" anywhere in the line (after a leading
// quoted program path); the name ends at ":", "=" or a blank, and a value
// follows unless the next character starts another option. A value in double
// quotes may hold blanks. ASCII letters are lower-cased first. Never fails.
command_line_options parse_command_line(const std::string& text);
bool has_command_line_option(const command_line_options& options, const std::string& name);

}  // namespace core
