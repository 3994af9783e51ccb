#pragma once

#include <string>

namespace parvel {

// A name that stays one file name inside its folder, whoever wrote it, and
// that a recipient on Windows can unzip: path separators, control characters
// and the characters : * ? " < > | become "_", and so do trailing dots and
// blanks (which also turns "." and ".." into "_" and "__").
std::string safe_file_name(std::string name);

}  // namespace parvel
