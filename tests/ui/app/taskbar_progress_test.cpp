#include "ui/app/taskbar_progress.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

namespace parvel {
namespace {

using state = taskbar_progress::state;

TEST(taskbar_progress, value_and_state_map_to_launcher_properties) {
  struct row {
    const char* name;
    std::function<void(taskbar_progress&)> steps;
    double progress;
    bool visible;
    bool urgent;
  };
  const row rows[] = {
      {"nothing shown at first", [](auto&) {}, 0.0, false, false},
      {"a value shows progress", [](auto& t) { t.set_value(0.25f); }, 0.25, true, false},
      {"thousandths truncated toward zero", [](auto& t) { t.set_value(0.99999f); }, 0.999, true,
       false},
      {"above one is full", [](auto& t) { t.set_value(7.0f); }, 1.0, true, false},
      {"below zero is empty", [](auto& t) { t.set_value(-0.5f); }, 0.0, true, false},
      {"not a number is empty", [](auto& t) { t.set_value(std::nanf("")); }, 0.0, true, false},
      {"normal is visible", [](auto& t) { t.set_state(state::normal); }, 0.0, true, false},
      {"error is visible and urgent",
       [](auto& t) {
         t.set_value(0.4f);
         t.set_state(state::error);
       },
       0.4, true, true},
      {"a success shows full",
       [](auto& t) {
         t.set_value(0.4f);
         t.set_state(state::paused);
       },
       1.0, true, false},
      {"no progress hides and clears urgency",
       [](auto& t) {
         t.set_state(state::error);
         t.set_state(state::no_progress);
       },
       0.0, false, false},
      {"a value after an error keeps the error",
       [](auto& t) {
         t.set_state(state::error);
         t.set_value(0.5f);
       },
       0.5, true, true},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.name);
    taskbar_progress taskbar;
    r.steps(taskbar);
    const QVariantMap properties = taskbar.launcher_properties();
    EXPECT_EQ(properties.size(), 3);
    EXPECT_DOUBLE_EQ(properties.value("progress").toDouble(), r.progress);
    EXPECT_EQ(properties.value("progress-visible").toBool(), r.visible);
    EXPECT_EQ(properties.value("urgent").toBool(), r.urgent);
  }
}

}  // namespace
}  // namespace parvel
