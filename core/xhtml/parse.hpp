#pragma once

#include <string>

#include "core/xhtml/commands.hpp"

namespace core::xhtml {

// Appends the top-level commands of UTF-8 XHTML text to `commands`. Only div,
// p, ul, li and br of the XHTML namespace and the text between elements have
// an effect; div, p and ul end their line, so that blocks never overlap.
// The tree is bounded in depth and size whatever the text, and reading
// ends without an error once nothing more can be kept (xhtml_handler).
// Malformed text throws the XML reader's msxml_exception; the
// commands made before the fault stay in `commands`.
void parse(const std::string& text, command_list& commands);

}  // namespace core::xhtml
