#include "engine/controller/controller.hpp"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>

#include "engine/controller/job_dispatch.hpp"
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

// As a job reading a photo on a stalled network mount: no cancel reaches it.
class held_job : public core::threading::async_req {
 public:
  held_job() : async_req("photo_archive") {}
  void run() override { released.wait(false); }
  void cancel() override {}
  std::atomic<bool> released{false};
};

// The program's quit waits a bounded time, then ends without the job, naming it.
TEST(job_dispatch, a_job_that_outlives_the_wait_at_quit_is_logged) {
  const auto job = std::make_shared<held_job>();
  parvel::submit_job(job);
  test_support::log_capture capture;
  EXPECT_FALSE(parvel::cancel_all_jobs_and_wait(std::chrono::milliseconds(50)));
  EXPECT_EQ(capture.lines(),
            std::vector<std::string>{"parvel [error] - photo_archive did not end within 50 ms of "
                                     "its cancel; the program ends without it"});
  job->released = true;
  job->released.notify_all();
  EXPECT_TRUE(parvel::cancel_all_jobs_and_wait(std::chrono::minutes(1)));
}

}  // namespace
