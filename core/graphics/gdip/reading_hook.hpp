#pragma once

#include <functional>
#include <string>

namespace core::graphics::gdip {

// Called with a photo's path on the thread that reads its pixels, once the
// reader has the file open and before it reads the first row: tests change
// the file there, as another program may while a photo converts. None by
// default; set only while no imaging runs.
using reading_hook = std::function<void(const std::string& path)>;
void set_reading_hook(reading_hook hook);

namespace detail {
void call_reading_hook(const std::string& path);
}  // namespace detail

}  // namespace core::graphics::gdip
