#include "engine/controller/controller.hpp"

#include <gtest/gtest.h>

#include <functional>

#include "tests/support/log_capture.hpp"
#include "tests/support/table.hpp"

namespace {

struct relay_case {
  const char* name;
  std::function<void(parvel::controller&)> raise;
  const char* line;
};

class controller_relay : public testing::TestWithParam<relay_case> {};

// No window is connected: the line is still written.
TEST_P(controller_relay, logs_its_line) {
  const auto& c = GetParam();
  parvel::controller controller;
  test_support::log_capture capture;
  c.raise(controller);
  EXPECT_EQ(capture.lines(), std::vector<std::string>{std::string("parvel [debug] - ") + c.line});
}

INSTANTIATE_TEST_SUITE_P(
    signals, controller_relay,
    testing::Values(
        relay_case{"path_is_text_not_a_format",
                   [](auto& c) { c.handle_update_download_succeeded("/tmp/setup 100%s.run"); },
                   "SIGNAL: on_update_download_succeeded(/tmp/setup 100%s.run)"},
        relay_case{"archive_progress_past_32_bits",
                   [](auto& c) { c.handle_photo_archive_progress(5000000000ull, 4294967297ull); },
                   "SIGNAL: on_photo_archive_progress(5000000000, 4294967297)"},
        relay_case{"code_without_key",
                   [](auto& c) {
                     c.handle_send_progress_message(
                         static_cast<parvel::parvel_code::parvel_code>(5));
                   },
                   "SIGNAL: on_send_progress_message(ok)"}),
    test_support::row_name());

}  // namespace
