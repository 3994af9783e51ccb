#include "engine/jobs/thumbnail.hpp"

#include "engine/rename/file_name_parts.hpp"

namespace parvel {

void make_thumbnail(thumbnail_chain& chain, const photo_entry& photo) {
  namespace batch = core::graphics::gdip::batch;
  photo_entry named = photo;
  const std::string target = split_at_last_dot(named.get_display_name()).stem + ".jpg";
  chain.open = std::make_shared<batch::gdiplus_image_open_file>(photo.path);
  chain.resize = std::make_shared<batch::gdiplus_image_resize>(
      chain.open.get(), 160, 160, core::graphics::bicubic,
      core::graphics::fit_size | core::graphics::no_enlarge);
  chain.save = std::make_shared<batch::gdiplus_image_save_stream>(chain.resize.get(), target,
                                                                  batch::gdiplus_batch_params());
  chain.save->run();
}

}  // namespace parvel
