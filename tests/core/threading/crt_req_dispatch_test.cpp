#include "core/threading/concur_rt/crt_req_dispatch.hpp"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <stdexcept>
#include <thread>
#include <vector>

#include "tests/support/log_capture.hpp"

namespace {

using core::threading::concur_rt::crt_req_dispatch;

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
  crt_req_dispatch dispatch;
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
    EXPECT_NE(a.destroyed_on.get_future().get(), std::this_thread::get_id());
    EXPECT_NE(b.destroyed_on.get_future().get(), std::this_thread::get_id());
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
  r.destroyed_on.get_future().wait();
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
    destroyed_on.wait();
  }
  EXPECT_EQ(capture.lines(),
            std::vector<std::string>{"parvel [error] - photo_archive failed: 'disk full'"});
}

TEST(crt_req_dispatch, destruction_cancels_and_waits_for_running_jobs) {
  probe_job::record r;
  {
    crt_req_dispatch dispatch;
    dispatch.submit(std::make_shared<probe_job>("update_download", r));
    r.ran.wait(false);
  }
  EXPECT_EQ(r.cancels, 1);
  EXPECT_TRUE(r.finished);
  EXPECT_EQ(r.destroyed_on.get_future().wait_for(std::chrono::seconds(0)),
            std::future_status::ready);
}

TEST(crt_req_dispatch, many_short_jobs_all_run_and_end) {
  std::vector<probe_job::record> records(200);
  crt_req_dispatch dispatch;
  for (auto& r : records) {
    r.release();
    dispatch.submit(std::make_shared<probe_job>("update_check", r));
  }
  for (auto& r : records) {
    r.destroyed_on.get_future().wait();
  }
}

}  // namespace
