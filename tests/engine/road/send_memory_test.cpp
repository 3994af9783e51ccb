#include <gtest/gtest.h>

#include <chrono>
#include <utility>

#include "bench/support/process_status.hpp"
#include "engine/controller/job_dispatch.hpp"
#include "engine/options/resize_option_manager.hpp"
#include "tests/engine/road/send_road_fixture.hpp"

namespace {

// The sanitizers' allocators keep freed memory in quarantine on purpose.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool allocator_replaced = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
constexpr bool allocator_replaced = true;
#else
constexpr bool allocator_replaced = false;
#endif
#else
constexpr bool allocator_replaced = false;
#endif

using send_memory = test_support::send_road;

// A job's thread ends after the job has told its outcome.
bool jobs_ended() {
  return parvel::cancel_all_jobs_and_wait(std::chrono::seconds(60));
}

long resident_mib() {
  return bench::process_status_kib("VmRSS:") / 1024;
}

// A send converts its photos on worker threads that end with it, and the
// imaging library's threads stay: what all of them held must go back to the
// system, not stay with the allocator for a send that may come days later.
TEST_F(send_memory, a_send_gives_back_what_its_threads_held) {
  if (allocator_replaced) {
    GTEST_SKIP() << "the sanitizer's allocator keeps freed memory";
  }
  parvel::resize_option_manager::instance()->set_current({parvel::resize_custom, 1280, 1024});
  // A first send of one small photo starts what stays for the process: TLS,
  // the service's threads, the imaging library.
  add_image("warm.jpg", 200, 100);
  send();
  ASSERT_EQ(recorder_.outcome(), "upload_succeeded");
  ASSERT_TRUE(jobs_ended());
  package_->clear_photos();
  package_->remove_archive();

  // Two sends of different photos: what an allocator keeps adds up.
  const long before = resident_mib();
  for (const auto& [width, height] : {std::pair{3000, 2000}, std::pair{2200, 3300}}) {
    for (int i = 0; i < 8; ++i) {
      add_image("IMG_" + std::to_string(i) + ".jpg", width, height);
    }
    send();
    ASSERT_EQ(recorder_.outcome(), "upload_succeeded");
    ASSERT_TRUE(jobs_ended());
    package_->clear_photos();
    package_->remove_archive();
  }
  EXPECT_LT(resident_mib() - before, 40) << "MiB more after two sends of 8 photos resized";
}

}  // namespace
