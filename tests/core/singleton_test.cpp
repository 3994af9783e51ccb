#include "core/singleton.hpp"

#include <gtest/gtest.h>

#include <atomic>
#include <barrier>
#include <stdexcept>
#include <thread>
#include <vector>

#include "tests/support/expect_error.hpp"

namespace {

class raced : public core::singleton<raced> {
  friend class core::singleton<raced>;
  raced() {
    ++constructed;
    std::this_thread::yield();  // widen the window in which others may race in
    value = 7;
  }

 public:
  static inline std::atomic<int> constructed{0};
  int value = 0;
};

TEST(singleton, racing_threads_share_one_object) {
  constexpr int thread_count = 16;
  std::barrier start(thread_count);
  std::vector<raced*> seen(thread_count);
  std::vector<std::thread> threads;
  for (int i = 0; i < thread_count; ++i) {
    threads.emplace_back([&, i] {
      start.arrive_and_wait();
      seen[i] = raced::instance().get();
      EXPECT_EQ(seen[i]->value, 7);
    });
  }
  for (auto& t : threads) {
    t.join();
  }
  EXPECT_EQ(raced::constructed.load(), 1);
  for (raced* p : seen) {
    EXPECT_EQ(p, seen.front());
  }
}

class fragile : public core::singleton<fragile> {
  friend class core::singleton<fragile>;
  fragile() {
    if (attempts++ == 0) {
      throw std::runtime_error("first attempt fails");
    }
  }

 public:
  static inline int attempts = 0;
};

TEST(singleton, failed_construction_is_retried_and_use_after_destruction_throws) {
  EXPECT_THROW(fragile::instance(), std::runtime_error);
  ASSERT_NE(fragile::instance().get(), nullptr);
  EXPECT_EQ(fragile::attempts, 2);
  fragile::instance().reset();  // the last reference: destroys the object
  test_support::expect_error<std::runtime_error>([] { fragile::instance(); },
                                                 "dead reference detected.");
  EXPECT_EQ(fragile::attempts, 2);
}

class inner : public core::singleton<inner> {
  friend class core::singleton<inner>;
  inner() = default;
};

class outer : public core::singleton<outer> {
  friend class core::singleton<outer>;
  outer() : dependency(inner::instance()) {}

 public:
  std::shared_ptr<inner> dependency;
};

TEST(singleton, constructor_may_ask_for_another_singleton) {
  EXPECT_EQ(outer::instance()->dependency, inner::instance());
}

}  // namespace
