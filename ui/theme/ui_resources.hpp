#pragma once

namespace parvel {

// Registers every resource file the UI library compiles in (each page keeps
// its own PNGs beside it), each once, so that the library's pictures resolve
// in any program that links it. Thread-safe; load_png_resource calls it.
void register_ui_resources();

}  // namespace parvel
