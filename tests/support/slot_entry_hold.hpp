#pragma once

#include <boost/signals2/connection.hpp>
#include <boost/signals2/signal.hpp>
#include <chrono>
#include <future>
#include <memory>
#include <utility>

namespace test_support {

// Holds the thread that emits a signal after it has found the first slot
// connected and before it enters that slot: the test can destroy the slot's
// receiver meanwhile, as a window closing while a job reports. Built on
// boost.signals2's order: a slot that disconnects itself during its call is
// destroyed when the emission moves on, after the next slot was found
// connected and its lock released. Connect it after the receiver.
class slot_entry_hold {
 public:
  template <class Signal>
  explicit slot_entry_hold(Signal& signal) {
    auto gate = std::make_shared<held_gate>(released_.get_future().share());
    held_ = gate->held.get_future();
    connection_ = signal.connect_extended(
        [gate](const boost::signals2::connection& self, const auto&...) { self.disconnect(); },
        boost::signals2::at_front);
  }
  ~slot_entry_hold() { release(); }
  slot_entry_hold(const slot_entry_hold&) = delete;
  slot_entry_hold& operator=(const slot_entry_hold&) = delete;

  // True once the emitting thread waits before the slot.
  bool wait_held() { return held_.wait_for(std::chrono::seconds(20)) == std::future_status::ready; }
  // Lets the emitting thread enter the slot.
  void release() {
    if (!released_set_) {
      released_set_ = true;
      released_.set_value();
    }
  }

 private:
  struct held_gate {
    explicit held_gate(std::shared_future<void> on_release) : released(std::move(on_release)) {}
    // The emitting thread, between choosing the next slot and entering it.
    ~held_gate() {
      held.set_value();
      released.wait_for(std::chrono::seconds(20));
    }
    std::promise<void> held;
    std::shared_future<void> released;
  };

  std::promise<void> released_;
  bool released_set_ = false;
  std::future<void> held_;
  boost::signals2::scoped_connection connection_;
};

}  // namespace test_support
