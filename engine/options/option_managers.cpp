#include "engine/options/convert_option_manager.hpp"
#include "engine/options/resize_option_manager.hpp"

namespace parvel {

convert_option_manager::convert_option_manager()
    : option_manager({photo_convert_option(convert_keep), photo_convert_option(convert_bmp),
                      photo_convert_option(convert_gif), photo_convert_option(convert_jpeg),
                      photo_convert_option(convert_png), photo_convert_option(convert_tiff)},
                     photo_convert_option(convert_keep)) {}

resize_option_manager::resize_option_manager()
    : option_manager({{resize_keep, 0, 0},
                      {resize_custom, 0, 0},
                      {resize_hd, 2560, 1440},
                      {resize_hd, 1920, 1080},
                      {resize_hd, 1280, 720},
                      {resize_wide, 2560, 1600},
                      {resize_wide, 1920, 1200},
                      {resize_wide, 1680, 1050},
                      {resize_monitor, 1600, 1200},
                      {resize_monitor, 1280, 960},
                      {resize_monitor, 1024, 768},
                      {resize_monitor, 800, 600}},
                     {resize_keep, 0, 0}) {}

}  // namespace parvel
