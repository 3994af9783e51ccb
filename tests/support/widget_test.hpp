#pragma once

#include <QObject>
#include <functional>
#include <memory>

namespace test_support {

using widget_test_factory = std::function<std::unique_ptr<QObject>()>;

// Adds a Qt Test class to the executable's list; the shared main runs the one
// named on its command line, or all of them.
bool register_widget_test(const char* name, widget_test_factory factory);

}  // namespace test_support

// Registers a Qt Test class; its name must match its file's name, which is
// how CTest asks for it.
#define LUMBREL_WIDGET_TEST(class_name)                                               \
  [[maybe_unused]] static const bool class_name##_registered =                        \
      test_support::register_widget_test(#class_name, [] {                            \
        return std::unique_ptr<QObject>(std::make_unique<class_name>().release());    \
      })
