#include <dlfcn.h>
#include <gtest/gtest.h>
#include <malloc.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "engine/jobs/photo_archive.hpp"
#include "engine/options/convert_option_manager.hpp"
#include "tests/engine/jobs/archive_fixture.hpp"

namespace {

std::atomic<int> trims{0};
std::atomic<bool> first_trim_running{false};
std::atomic<int> trims_during_the_first{0};

}  // namespace

// Every trim of this process comes here. The first sets glibc's allocator up
// where a sanitizer owns malloc: it is held a while, and a trim that starts
// meanwhile is counted and not made, so that the fault fails the test rather
// than crashing it.
extern "C" int malloc_trim(size_t pad) noexcept {
  static const auto glibc_trim =
      reinterpret_cast<int (*)(size_t)>(::dlsym(RTLD_NEXT, "malloc_trim"));
  if (first_trim_running) {
    ++trims_during_the_first;
    return 0;
  }
  if (trims++ > 0) {
    return glibc_trim(pad);
  }
  first_trim_running = true;
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  const int released = glibc_trim(pad);
  first_trim_running = false;
  return released;
}

namespace {

using photo_archive_trim = test_support::archive_test;

TEST_F(photo_archive_trim, no_worker_trims_while_the_first_trim_sets_the_allocator_up) {
  ASSERT_EQ(trims, 0) << "the process has trimmed before";
  constexpr unsigned workers = 8;
  for (unsigned i = 0; i < workers; ++i) {
    add_image("p" + std::to_string(i) + ".png", 64, 48);
  }
  parvel::convert_option_manager::instance()->set_current(
      parvel::photo_convert_option(core::graphics::image_formats::jpeg));
  parvel::photo_archive job(package_, parvel::photo_archive::default_size_limit, workers);
  test_support::job_recorder recorder(job);
  job.run();

  EXPECT_EQ(recorder.outcome(), "succeeded");
  EXPECT_EQ(trims + trims_during_the_first, static_cast<int>(workers));
  EXPECT_EQ(trims_during_the_first, 0);
}

}  // namespace
