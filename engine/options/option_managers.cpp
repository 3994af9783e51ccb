#include "engine/options/convert_option_manager.hpp"
#include "engine/options/resize_option_manager.hpp"

namespace parvel {

convert_option_manager::convert_option_manager()
    : option_manager({photo_convert_option(0), photo_convert_option(1), photo_convert_option(2),
                      photo_convert_option(3), photo_convert_option(4), photo_convert_option(5)},
                     photo_convert_option(0)) {}

resize_option_manager::resize_option_manager()
    : option_manager({{0, 0, 0},
                      {1, 0, 0},
                      {2, 2560, 1440},
                      {2, 1920, 1080},
                      {2, 1280, 720},
                      {3, 2560, 1600},
                      {3, 1920, 1200},
                      {3, 1680, 1050},
                      {4, 1600, 1200},
                      {4, 1280, 960},
                      {4, 1024, 768},
                      {4, 800, 600}},
                     {0, 0, 0}) {}

}  // namespace parvel
