#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "core/io/archivers/zip_compressed_entry.hpp"
#include "core/io/spooled_buffer.hpp"

namespace parvel {

// What a worker makes of one item for the writer: the entry compressed in
// memory, which the writer copies as it stands, or else a converted photo too
// large to hold, in a file the writer deflates as it reads it.
struct prepared_entry {
  std::optional<core::io::archivers::compressed_entry> compressed;
  std::unique_ptr<core::io::spooled_buffer> spooled;

  // What it takes of the budget while it waits for the writer: its memory; a
  // spooled file counts as much as it could have held, so that only a few
  // such files wait on disk at a time.
  std::uint64_t held() const {
    return compressed ? compressed->data.capacity() : spooled ? spooled->memory_limit() : 0;
  }
};

// Prepares the entries of one archive on worker threads and hands them, in
// item order, to the one thread that writes the archive. Items are started in
// order, at most `workers` at a time, and only while the bytes reserved by
// entries started and not yet released stay within the budget (an item that
// costs more than the whole budget starts once nothing else is reserved).
// The writer takes item i only after i - 1, so the item it waits for has
// always been started: the budget never stalls it.
class entry_pipeline {
 public:
  using entry = prepared_entry;
  // Runs on a worker; empty leaves the item to the writer (so does a stop).
  // What it throws reaches the writer at the item's turn.
  using prepare_function =
      std::function<std::optional<entry>(std::size_t index, const std::atomic<bool>& stop)>;

  // costs: per item, the bytes its preparation may hold at most; 0 marks an
  // item the writer makes itself at its turn.
  entry_pipeline(std::vector<std::uint64_t> costs, unsigned workers, std::uint64_t budget,
                 prepare_function prepare);
  // Stops and waits for the workers.
  ~entry_pipeline();
  entry_pipeline(const entry_pipeline&) = delete;
  entry_pipeline& operator=(const entry_pipeline&) = delete;

  // Writer thread, items in order: waits for the item's entry and rethrows
  // its preparation's failure. Empty for an item left to the writer and once
  // stopped. Items after a failed one are never started.
  std::optional<entry> take(std::size_t index);
  // Writer thread: the item's entry is written and gone from memory.
  void release(std::size_t index);
  // Any thread: preparations stop at their next check and take() returns
  // empty from now on.
  void stop() noexcept;

 private:
  struct slot {
    std::optional<entry> prepared;
    std::exception_ptr failure;
    std::uint64_t reserved = 0;
    bool ready = false;
  };

  void work();
  // Under the lock: the next item to start, waiting for the budget; empty
  // when there is none left or on stop.
  std::optional<std::size_t> next_item(std::unique_lock<std::mutex>& lock);

  const std::vector<std::uint64_t> costs_;
  const std::uint64_t budget_;
  const prepare_function prepare_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<slot> slots_;
  std::size_t next_ = 0;
  // Items from here on are not started: one before them failed.
  std::size_t end_;
  std::uint64_t reserved_ = 0;
  std::atomic<bool> stop_{false};
  std::vector<std::thread> workers_;
};

}  // namespace parvel
