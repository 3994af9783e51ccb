#include "core/threading/concur_rt/crt_req_dispatch.hpp"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <stdexcept>
#include <system_error>
#include <thread>
#include <vector>

#include "tests/support/log_capture.hpp"

namespace {

using core::threading::concur_rt::crt_req_dispatch;
using namespace std::chrono_literals;

// Generous: only a hang reaches it.
constexpr auto bound = 30s;

bool ready_in_time(const std::future<std::thread::id>& f) {
  return f.wait_for(bound) == std::future_status::ready;
}

// Runs until cancelled or released; reports what happened to it.
class probe_job : public core::threading::async_req {
 public:
  struct record {
    std::atomic<int> cancels{0};
    std::atomic<bool> ran{false};
    std::atomic<bool> finished{false};
    std::promise<std::thread::id> destroyed_on;
    std::atomic<bool> released{false};

    void release() {
      released = true;
      released.notify_all();
    }
  };

  probe_job(std::string name, record& r, bool throws = false)
      : async_req(std::move(name)), r_(r), throws_(throws) {}
  ~probe_job() override { r_.destroyed_on.set_value(std::this_thread::get_id()); }

  void run() override {
    r_.ran = true;
    r_.ran.notify_all();
    r_.released.wait(false);
    r_.finished = true;
    if (throws_) {
      throw std::runtime_error("disk full");
    }
  }
  void cancel() override {
    ++r_.cancels;
    r_.release();
  }

 private:
  record& r_;
  bool throws_;
};

TEST(crt_req_dispatch, destroyed_without_jobs_returns_at_once) {
  auto destroyed = std::async(std::launch::async, [] { crt_req_dispatch dispatch; });
  EXPECT_EQ(destroyed.wait_for(bound), std::future_status::ready);
}

TEST(crt_req_dispatch, cancel_by_name_reaches_every_job_of_that_name_only) {
  probe_job::record a, b, other;
  {
    crt_req_dispatch dispatch;
    dispatch.submit(std::make_shared<probe_job>("photo_upload", a));
    dispatch.submit(std::make_shared<probe_job>("photo_upload", b));
    dispatch.submit(std::make_shared<probe_job>("update_check", other));
    dispatch.cancel("no_such_job");
    dispatch.cancel("photo_upload");
    EXPECT_EQ(a.cancels, 1);
    EXPECT_EQ(b.cancels, 1);
    EXPECT_EQ(other.cancels, 0);
    // Each end removes its own entry, on its worker: both ended, the third is
    // still there.
    auto a_destroyed = a.destroyed_on.get_future();
    auto b_destroyed = b.destroyed_on.get_future();
    ASSERT_TRUE(ready_in_time(a_destroyed) && ready_in_time(b_destroyed));
    EXPECT_NE(a_destroyed.get(), std::this_thread::get_id());
    EXPECT_NE(b_destroyed.get(), std::this_thread::get_id());
    EXPECT_EQ(other.cancels, 0);
    other.release();
  }
  EXPECT_TRUE(a.finished && b.finished && other.finished);
}

TEST(crt_req_dispatch, cancel_before_the_run_begins_is_delivered) {
  probe_job::record r;
  crt_req_dispatch dispatch;
  auto job = std::make_shared<probe_job>("photo_archive", r);
  dispatch.submit(job);
  dispatch.cancel("photo_archive");
  EXPECT_EQ(r.cancels, 1);
  job.reset();
  EXPECT_TRUE(ready_in_time(r.destroyed_on.get_future()));
  EXPECT_TRUE(r.finished);
}

TEST(crt_req_dispatch, throwing_job_is_logged_removed_and_the_process_lives) {
  test_support::log_capture capture;
  probe_job::record r;
  auto destroyed_on = r.destroyed_on.get_future();
  {
    crt_req_dispatch dispatch;
    dispatch.submit(std::make_shared<probe_job>("photo_archive", r, /*throws=*/true));
    r.release();
    EXPECT_TRUE(ready_in_time(destroyed_on));
  }
  EXPECT_EQ(capture.lines(),
            std::vector<std::string>{"parvel [error] - photo_archive failed: 'disk full'"});
}

TEST(crt_req_dispatch, destruction_cancels_and_waits_for_running_jobs) {
  probe_job::record r;
  {
    crt_req_dispatch dispatch;
    dispatch.submit(std::make_shared<probe_job>("update_download", r));
  }
  EXPECT_EQ(r.cancels, 1);
  EXPECT_TRUE(r.finished);
  EXPECT_EQ(r.destroyed_on.get_future().wait_for(std::chrono::seconds(0)),
            std::future_status::ready);
}

TEST(crt_req_dispatch, many_short_jobs_all_run_and_end) {
  std::vector<probe_job::record> records(200);
  std::vector<std::future<std::thread::id>> destroyed;
  crt_req_dispatch dispatch;
  for (auto& r : records) {
    r.release();
    destroyed.push_back(r.destroyed_on.get_future());
    dispatch.submit(std::make_shared<probe_job>("update_check", r));
  }
  for (std::size_t i = 0; i < records.size(); ++i) {
    ASSERT_TRUE(ready_in_time(destroyed[i])) << i;
    EXPECT_TRUE(records[i].finished) << i;
    EXPECT_EQ(records[i].cancels, 0) << i;
  }
}

TEST(crt_req_dispatch, cancel_all_and_wait_returns_once_every_job_ended) {
  probe_job::record a, b;
  auto a_destroyed = a.destroyed_on.get_future();
  auto b_destroyed = b.destroyed_on.get_future();
  crt_req_dispatch dispatch;
  dispatch.submit(std::make_shared<probe_job>("photo_archive", a));
  dispatch.submit(std::make_shared<probe_job>("update_check", b));
  EXPECT_EQ(dispatch.cancel_all_and_wait(bound), std::vector<std::string>{});
  EXPECT_EQ(a.cancels + b.cancels, 2);
  EXPECT_TRUE(a.finished && b.finished);
  EXPECT_EQ(a_destroyed.wait_for(0s), std::future_status::ready);
  EXPECT_EQ(b_destroyed.wait_for(0s), std::future_status::ready);

  // The dispatcher still serves the rest of the program's life.
  probe_job::record later;
  later.release();
  auto later_destroyed = later.destroyed_on.get_future();
  dispatch.submit(std::make_shared<probe_job>("update_check", later));
  EXPECT_TRUE(ready_in_time(later_destroyed));
}

TEST(crt_req_dispatch, a_job_whose_thread_cannot_start_is_not_kept) {
  probe_job::record r;
  auto destroyed = r.destroyed_on.get_future();
  auto ended = std::async(std::launch::async, [&] {
    crt_req_dispatch dispatch([](std::function<void()>) -> std::thread {
      throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
    });
    auto job = std::make_shared<probe_job>("photo_upload", r);
    EXPECT_THROW(dispatch.submit(job), std::system_error);
    job.reset();
    EXPECT_EQ(destroyed.wait_for(0s), std::future_status::ready) << "the dispatcher holds nothing";
    dispatch.cancel("photo_upload");
  });
  ASSERT_EQ(ended.wait_for(bound), std::future_status::ready) << "destruction waits for no one";
  EXPECT_FALSE(r.ran);
  EXPECT_EQ(r.cancels, 0);
}

}  // namespace
