// resize_bench generate FOLDER COUNT [WIDTHxHEIGHT]
//   writes COUNT photo-like JPEGs (gradients and noise), 6000 x 4000 unless
//   given, into FOLDER.
// resize_bench convert OUT_FOLDER [BOX EXTENSION] PHOTO...
//   converts each photo as the archive job does (into the box, 1920x1080
//   unless given, bicubic, fit, no enlarging, orientation matched; "-" keeps
//   the size) and encodes it by the extension (.jpg unless given) at JPEG
//   quality 95, written to OUT_FOLDER under the photo's name as it is encoded.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>

#include "bench/support/photo_like.hpp"
#include "core/graphics/gdip/batch/gdiplus_image_open_file.hpp"
#include "core/graphics/gdip/batch/gdiplus_image_resize.hpp"
#include "core/graphics/gdip/batch/gdiplus_image_save_stream.hpp"
#include "core/graphics/gdip/gdiplus_startup.hpp"
#include "core/graphics/image_format.hpp"
#include "core/threading/stop_flag.hpp"

namespace {

namespace batch = core::graphics::gdip::batch;

struct size {
  int width = 0;
  int height = 0;
};

// "WIDTHxHEIGHT"; "-" gives 0 x 0.
size parse_size(const std::string& text) {
  const auto x = text.find('x');
  if (x == std::string::npos) {
    return {};
  }
  return {std::stoi(text.substr(0, x)), std::stoi(text.substr(x + 1))};
}

bool is_size(const std::string& text) {
  return text == "-" || parse_size(text).width > 0;
}

void generate(const std::filesystem::path& folder, int count, size dimensions) {
  const int width = dimensions.width;
  const int height = dimensions.height;
  std::filesystem::create_directories(folder);
  for (int i = 0; i < count; ++i) {
    bench::write_photo_like((folder / ("IMG_" + std::to_string(1000 + i) + ".jpg")).string(), width,
                            height, i);
  }
}

void convert(const std::filesystem::path& out_folder, size box, const std::string& extension,
             int count, char** photos) {
  batch::gdiplus_batch_params params;
  params.set_quality(95);
  for (int i = 0; i < count; ++i) {
    const std::filesystem::path photo = photos[i];
    const std::string name = photo.stem().string() + extension;
    batch::gdiplus_image_open_file open(photo.string(),
                                        core::graphics::image_format_carries_orientation(
                                            core::graphics::image_format_from_extension(extension))
                                            ? batch::orientation_tag::kept
                                            : batch::orientation_tag::applied);
    std::unique_ptr<batch::gdiplus_image_resize> resize;
    if (box.width > 0) {
      resize = std::make_unique<batch::gdiplus_image_resize>(
          &open, box.width, box.height, core::graphics::bicubic,
          core::graphics::fit_size | core::graphics::no_enlarge |
              core::graphics::match_orientation);
    }
    std::ofstream out(out_folder / name, std::ios_base::binary);
    batch::gdiplus_image_save_stream save(
        resize ? static_cast<batch::gdiplus_image_unit*>(resize.get()) : &open, name, params, out);
    // Stoppable, as the archive job runs it: the check costs what it costs there.
    const core::threading::stop_flag stop{false};
    save.run(stop);
  }
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (argc < 4 || (mode != "generate" && mode != "convert")) {
    std::cerr << "usage: resize_bench generate FOLDER COUNT [WIDTHxHEIGHT]"
                 " | convert OUT_FOLDER [BOX EXTENSION] PHOTO...\n";
    return 2;
  }
  try {
    const core::graphics::gdip::gdiplus_startup startup;
    if (mode == "generate") {
      generate(argv[2], std::atoi(argv[3]), argc > 4 ? parse_size(argv[4]) : size{6000, 4000});
    } else if (argc > 5 && is_size(argv[3])) {
      convert(argv[2], parse_size(argv[3]), argv[4], argc - 5, argv + 5);
    } else {
      convert(argv[2], {1920, 1080}, ".jpg", argc - 3, argv + 3);
    }
  } catch (const std::exception& e) {
    std::cerr << "resize_bench: " << e.what() << '\n';
    return 1;
  }
  return 0;
}
