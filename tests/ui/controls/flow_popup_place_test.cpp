#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/controls/basic_flow_popup.hpp"

namespace parvel {
namespace {

TEST(popup_size_within, cuts_what_the_owner_does_not_show_at_the_right_and_bottom) {
  struct place_row {
    std::string name;
    QRect popup;
    QSize expected;
  };
  const QRect owner(0, 0, 1280, 1024);
  const std::vector<place_row> rows = {
      {"inside the owner", {10, 10, 120, 80}, {120, 80}},
      {"as tall as a million rows", {10, 100, 500, 20000000}, {500, 924}},
      {"past the right edge", {1230, 10, 120, 80}, {50, 80}},
      {"starting above the owner keeps its top left", {10, -50, 120, 2000}, {120, 1074}},
      {"wholly below the owner", {10, 1100, 120, 20000000}, {120, 1024}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(popup_size_within(row.popup, owner), row.expected);
  }
}

}  // namespace
}  // namespace parvel
