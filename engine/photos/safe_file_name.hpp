#pragma once

#include <string>

namespace parvel {

// A name that stays one file name inside its folder, whoever wrote it: path
// separators and control characters become "_", and "." or ".." become "_".
std::string safe_file_name(std::string name);

}  // namespace parvel
