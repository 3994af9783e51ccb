#include "engine/jobs/thumbnail.hpp"

#include "engine/jobs/read_as_planned.hpp"
#include "engine/rename/file_name_parts.hpp"

namespace parvel {

void make_thumbnail(thumbnail_chain& chain, const photo_entry& photo,
                    const core::threading::stop_flag& stop) {
  namespace batch = core::graphics::gdip::batch;
  const file_stamp planned = planned_stamp_of(photo.path);
  photo_entry named = photo;
  const std::string target = split_at_last_dot(named.get_display_name()).stem + ".jpg";
  chain.open = std::make_shared<batch::gdiplus_image_open_file>(photo.path);
  chain.resize = std::make_shared<batch::gdiplus_image_resize>(
      chain.open.get(), 160, 160, core::graphics::bicubic,
      core::graphics::fit_size | core::graphics::no_enlarge);
  chain.save = std::make_shared<batch::gdiplus_image_save_stream>(chain.resize.get(), target,
                                                                  batch::gdiplus_batch_params());
  read_as_planned(photo.path, planned, stop, [&] { chain.save->run(stop); });
}

}  // namespace parvel
