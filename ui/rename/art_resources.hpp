#pragma once

namespace parvel {

// Registers the logo (PNG 130) and the rename preview's arrow (PNG 131),
// which live in the UI library; idempotent. UI thread.
void register_art_resources();

}  // namespace parvel
