#include "engine/controller/controller.hpp"

#include <gtest/gtest.h>

#include <functional>

#include "engine/photos/package_info.hpp"
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
        relay_case{"exit", [](auto& c) { c.do_exit(); }, "do_exit -- SIGNAL: signal_app_exit()"},
        relay_case{"download_path_as_text",
                   [](auto& c) { c.handle_update_download_succeeded("/tmp/setup 100%.run"); },
                   "SIGNAL: on_update_download_succeeded(/tmp/setup 100%.run)"},
        relay_case{"archive_progress_in_full",
                   [](auto& c) { c.handle_photo_archive_progress(5000000000ull, 4294967297ull); },
                   "SIGNAL: on_photo_archive_progress(5000000000, 4294967297)"},
        relay_case{"upload_progress", [](auto& c) { c.handle_photo_upload_progress(1, 2); },
                   "SIGNAL: on_photo_upload_progress(1, 2)"},
        relay_case{
            "stage_key",
            [](auto& c) { c.handle_send_progress_message(parvel::parvel_code::send_zipping); },
            "SIGNAL: on_send_progress_message(send_zipping)"},
        relay_case{"code_without_key",
                   [](auto& c) {
                     c.handle_send_progress_message(
                         static_cast<parvel::parvel_code::parvel_code>(5));
                   },
                   "SIGNAL: on_send_progress_message(ok)"}),
    test_support::row_name());

TEST(controller_relay, archive_succeeded_names_the_archive_and_its_photos) {
  parvel::controller controller;
  auto package = std::make_shared<parvel::package_info>();
  package->archive_name = "a.zip";
  package->add_entries({{"/x/1.jpg"}, {"/x/2.jpg"}});
  std::shared_ptr<parvel::package_info> seen;
  boost::signals2::scoped_connection c =
      controller.on_photo_archive_succeeded.connect([&](const auto& p) { seen = p; });
  test_support::log_capture capture;
  controller.handle_photo_archive_succeeded(package);
  EXPECT_EQ(seen, package);
  EXPECT_EQ(capture.lines(),
            std::vector<std::string>{"parvel [debug] - SIGNAL: on_photo_archive_succeeded(" +
                                     package->archive_path() + ", items:2)"});
}

TEST(controller_relay, window_closed_signals_always_carry_true) {
  parvel::controller controller;
  std::vector<bool> seen;
  boost::signals2::scoped_connection a =
      controller.on_update_window_closed.connect([&](bool v) { seen.push_back(v); });
  boost::signals2::scoped_connection b =
      controller.signal_send_window_closed.connect([&](bool v) { seen.push_back(v); });
  controller.notify_update_window_closed();
  controller.notify_send_window_closed();
  EXPECT_EQ(seen, (std::vector<bool>{true, true}));
}

}  // namespace
