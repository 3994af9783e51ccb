#pragma once

namespace test_support {

// Registers the image codecs once for the whole test process, as the
// program's start-up does; the imaging library then stays started until the
// process ends, and HD Photo is decoded by the helper of this build. Call it
// in every test that touches images.
void register_image_codecs();

}  // namespace test_support
