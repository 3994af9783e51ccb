#pragma once

#include <string>
#include <string_view>

namespace core::atom {
class atom_entry;
}

namespace parvel::interop {

class command;

// The declaration and the entry's start tag, declaring the extension prefix
// "lm" on it when asked.
void write_entry_start(std::string& out, const command& entry, bool declare_extension);
// The category element, with the entry's scheme and term.
void write_category(std::string& out, const core::atom::atom_entry& entry);

}  // namespace parvel::interop
