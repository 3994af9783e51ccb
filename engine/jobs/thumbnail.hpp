#pragma once

#include <memory>

#include "core/graphics/gdip/batch/gdiplus_image_open_file.hpp"
#include "core/graphics/gdip/batch/gdiplus_image_resize.hpp"
#include "core/graphics/gdip/batch/gdiplus_image_save_stream.hpp"
#include "engine/photos/photo_entry.hpp"

namespace parvel {

// The units of one thumbnail; the encoded JPEG is in save's stream.
struct thumbnail_chain {
  std::shared_ptr<core::graphics::gdip::batch::gdiplus_image_open_file> open;
  std::shared_ptr<core::graphics::gdip::batch::gdiplus_image_resize> resize;
  std::shared_ptr<core::graphics::gdip::batch::gdiplus_image_save_stream> save;
};

// Encodes the photo as a JPEG within 160 x 160, never enlarged, at the
// encoder's default quality. Imaging failures propagate, and so does a change
// to the photo's file while it is read (read_as_planned.hpp); once stop
// ends the reading, job_canceled.
void make_thumbnail(thumbnail_chain& chain, const photo_entry& photo,
                    const core::threading::stop_flag& stop);

}  // namespace parvel
