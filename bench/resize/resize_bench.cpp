// resize_bench generate FOLDER COUNT
//   writes COUNT photo-like 6000 x 4000 JPEGs (gradients and noise) into FOLDER.
// resize_bench convert OUT_FOLDER PHOTO...
//   converts each photo as the archive job does (a 1920 x 1080 box, bicubic,
//   fit, no enlarging, orientation matched, JPEG quality 95) and writes the
//   encoded bytes to OUT_FOLDER under the photo's name.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "bench/support/photo_like.hpp"
#include "core/graphics/gdip/batch/gdiplus_image_open_file.hpp"
#include "core/graphics/gdip/batch/gdiplus_image_resize.hpp"
#include "core/graphics/gdip/batch/gdiplus_image_save_stream.hpp"
#include "core/graphics/gdip/gdiplus_startup.hpp"

namespace {

namespace batch = core::graphics::gdip::batch;

void generate(const std::filesystem::path& folder, int count) {
  constexpr int width = 6000;
  constexpr int height = 4000;
  std::filesystem::create_directories(folder);
  for (int i = 0; i < count; ++i) {
    bench::write_photo_like((folder / ("IMG_" + std::to_string(1000 + i) + ".jpg")).string(), width,
                            height, i);
  }
}

void convert(const std::filesystem::path& out_folder, int count, char** photos) {
  batch::gdiplus_batch_params params;
  params.set_quality(95);
  for (int i = 0; i < count; ++i) {
    const std::filesystem::path photo = photos[i];
    const std::string name = photo.filename().string();
    batch::gdiplus_image_open_file open(photo.string());
    batch::gdiplus_image_resize resize(
        &open, 1920, 1080, core::graphics::bicubic,
        core::graphics::fit_size | core::graphics::no_enlarge | core::graphics::match_orientation);
    batch::gdiplus_image_save_stream save(&resize, name, params);
    save.run();
    std::ofstream(out_folder / name, std::ios_base::binary)
        .write(save.device().data(), static_cast<std::streamsize>(save.device().size()));
  }
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (argc < 4 || (mode != "generate" && mode != "convert")) {
    std::cerr << "usage: resize_bench generate FOLDER COUNT | convert OUT_FOLDER PHOTO...\n";
    return 2;
  }
  try {
    const core::graphics::gdip::gdiplus_startup startup;
    if (mode == "generate") {
      generate(argv[2], std::atoi(argv[3]));
    } else {
      convert(argv[2], argc - 3, argv + 3);
    }
  } catch (const std::exception& e) {
    std::cerr << "resize_bench: " << e.what() << '\n';
    return 1;
  }
  return 0;
}
