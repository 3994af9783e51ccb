#pragma once

#include <vips/vips8>

#include "core/threading/stop_flag.hpp"

namespace core::graphics::gdip::detail {

// The image, whose evaluation, and that of every image made from it, fails
// at its next strip once stop is set: each strip is asked of it on the
// evaluating threads, so no thread but those touches the pipeline. stop
// outlives every evaluation.
vips::VImage stoppable(const vips::VImage& image, const threading::stop_flag& stop);

}  // namespace core::graphics::gdip::detail
