#pragma once

#include <vips/vips8>

#include "core/threading/stop_flag.hpp"

namespace core::graphics::gdip::detail {

// The image, whose evaluation, and that of every image made from it, fails
// at its next tick (a strip of rows) once stop is set. The library checks
// for such a stop on the image being evaluated, the last of a pipeline, which
// only its evaluating thread may touch: so the check is asked for through
// the progress report, which reaches that thread from upstream. stop outlives
// every evaluation.
vips::VImage stoppable(const vips::VImage& image, const threading::stop_flag& stop);

}  // namespace core::graphics::gdip::detail
