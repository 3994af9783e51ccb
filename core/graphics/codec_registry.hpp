#pragma once

#include <map>
#include <memory>

#include "core/graphics/image_codec.hpp"
#include "core/graphics/image_format.hpp"

namespace core::graphics {

using codec_map = std::map<image_format, std::shared_ptr<image_codec>>;

// Adds codec under format. A format that has a codec already (even this one)
// throws graphics_exception and keeps the first. The registry has no lock:
// imaging's start-up fills it on one thread, and readers reach it only after
// that start-up has ended (gdiplus_started()); it lives until exit.
void register_codec(image_format format, std::shared_ptr<image_codec> codec);

// The registered codecs; look one up with find.
const codec_map& registered_codecs();

}  // namespace core::graphics
