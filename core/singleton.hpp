#pragma once

#include <atomic>
#include <memory>
#include <mutex>

namespace core {

// Throws std::runtime_error "dead reference detected.".
[[noreturn]] void on_dead_reference();

// One process-wide T, created on first use by whichever thread asks first and
// destroyed at process exit; a use after destruction throws instead of
// creating a second object. T derives from singleton<T>, befriends it and has
// a default constructor, which must not ask for its own instance.
template <class T>
class singleton {
 public:
  static std::shared_ptr<T>& instance() {
    // Acquire pairs with the release after creation: a caller that sees the
    // flag also sees the finished object, without taking the lock.
    if (ready_.load(std::memory_order_acquire)) {
      return holder_;
    }
    std::lock_guard lock(creation_lock_);
    if (destroyed_.load(std::memory_order_acquire)) {
      on_dead_reference();
    }
    if (!holder_) {
      holder_ = std::shared_ptr<T>(new T, &singleton::destroy);
      ready_.store(true, std::memory_order_release);
    }
    return holder_;
  }

 protected:
  singleton() = default;
  virtual ~singleton() = default;
  singleton(const singleton&) = delete;
  singleton& operator=(const singleton&) = delete;

 private:
  static void destroy(T* object) {
    ready_.store(false, std::memory_order_release);
    delete object;
    destroyed_.store(true, std::memory_order_release);
  }

  static inline std::shared_ptr<T> holder_;
  static inline std::mutex creation_lock_;
  static inline std::atomic<bool> ready_{false};
  static inline std::atomic<bool> destroyed_{false};
};

}  // namespace core
