#pragma once

#include <QPalette>

namespace test_support {

// A dark desktop scheme (qt6ct's "darker") as a platform theme gives it to
// every window of an application.
QPalette dark_desktop_palette();

}  // namespace test_support
