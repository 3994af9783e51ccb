#include "engine/jobs/entry_pipeline.hpp"

#include <algorithm>

namespace parvel {

entry_pipeline::entry_pipeline(std::vector<std::uint64_t> costs, unsigned workers,
                               std::uint64_t budget, prepare_function prepare)
    : costs_(std::move(costs)),
      budget_(budget),
      prepare_(std::move(prepare)),
      slots_(costs_.size()),
      end_(costs_.size()) {
  const auto prepared = static_cast<std::size_t>(
      std::count_if(costs_.begin(), costs_.end(), [](std::uint64_t cost) { return cost != 0; }));
  const std::size_t count = std::min<std::size_t>(workers, prepared);
  try {
    for (std::size_t i = 0; i < count; ++i) {
      workers_.emplace_back([this] { work(); });
    }
  } catch (...) {
    stop();
    for (std::thread& worker : workers_) {
      worker.join();
    }
    throw;
  }
}

entry_pipeline::~entry_pipeline() {
  stop();
  for (std::thread& worker : workers_) {
    worker.join();
  }
}

std::optional<entry_pipeline::entry> entry_pipeline::take(std::size_t index) {
  if (costs_[index] == 0) {
    return std::nullopt;
  }
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return stop_ || slots_[index].ready; });
  if (stop_) {
    return std::nullopt;
  }
  slot& taken = slots_[index];
  if (taken.failure) {
    std::rethrow_exception(taken.failure);
  }
  return std::move(taken.prepared);
}

void entry_pipeline::release(std::size_t index) {
  {
    std::lock_guard lock(mutex_);
    reserved_ -= slots_[index].reserved;
    slots_[index].reserved = 0;
  }
  changed_.notify_all();
}

void entry_pipeline::stop() noexcept {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  changed_.notify_all();
}

std::optional<std::size_t> entry_pipeline::next_item(std::unique_lock<std::mutex>& lock) {
  for (;;) {
    while (next_ < end_ && costs_[next_] == 0) {
      ++next_;
    }
    if (stop_ || next_ >= end_) {
      return std::nullopt;
    }
    const std::uint64_t cost = costs_[next_];
    if (reserved_ == 0 || reserved_ + cost <= budget_) {
      reserved_ += cost;
      slots_[next_].reserved = cost;
      return next_++;
    }
    changed_.wait(lock);
  }
}

void entry_pipeline::work() {
  for (;;) {
    std::optional<std::size_t> index;
    {
      std::unique_lock lock(mutex_);
      index = next_item(lock);
    }
    if (!index) {
      return;
    }
    std::optional<entry> prepared;
    std::exception_ptr failure;
    try {
      prepared = prepare_(*index, stop_);
    } catch (...) {
      failure = std::current_exception();
    }
    {
      std::lock_guard lock(mutex_);
      slot& done = slots_[*index];
      // From the preparation's bound down to what the entry really holds.
      const std::uint64_t held = prepared ? prepared->held() : 0;
      reserved_ = reserved_ - done.reserved + held;
      done.reserved = held;
      done.prepared = std::move(prepared);
      done.failure = failure;
      done.ready = true;
      if (failure) {
        end_ = std::min(end_, *index + 1);
      }
    }
    changed_.notify_all();
  }
}

}  // namespace parvel
