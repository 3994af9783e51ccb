#include "core/threading/concur_rt/crt_req_dispatch.hpp"

#include <pthread.h>
#include <algorithm>

namespace core::threading::concur_rt {

crt_req_dispatch::crt_req_dispatch()
    : crt_req_dispatch(
          [](std::function<void()> procedure) { return std::thread(std::move(procedure)); }) {}

crt_req_dispatch::crt_req_dispatch(thread_starter start_thread)
    : start_thread_(std::move(start_thread)) {}

crt_req_dispatch::~crt_req_dispatch() {
  cancel_all();
  wait_and_join(std::nullopt);
}

std::vector<std::string> crt_req_dispatch::cancel_all_and_wait(std::chrono::milliseconds limit) {
  cancel_all();
  return wait_and_join(std::chrono::steady_clock::now() + limit);
}

std::vector<std::string> crt_req_dispatch::wait_and_join(deadline until) {
  std::vector<std::thread> threads;
  {
    std::unique_lock lock(lock_);
    const auto empty = [this] { return registry_.empty(); };
    if (!until) {
      empty_.wait(lock, empty);
    } else if (!empty_.wait_until(lock, *until, empty)) {
      std::vector<std::string> running;
      for (const auto& entry : registry_) {
        running.push_back(entry.first);
      }
      return running;
    }
    threads.swap(threads_);
    // Every thread is joined below, whether or not it has told so yet.
    finished_threads_.clear();
  }
  // Every job has been removed; its thread only has to return.
  for (std::thread& thread : threads) {
    thread.join();
  }
  return {};
}

void crt_req_dispatch::submit(const std::shared_ptr<async_req>& job) {
  join_finished_threads();
  auto owned = std::make_unique<crt_req>(job);
  crt_req* record = owned.get();
  record->set_done([this](crt_req* r, async_status status) { on_done(r, status); });
  job->set_completion([record](async_status status) { record->on_complete(status); });
  decltype(registry_)::iterator entry;
  {
    std::lock_guard lock(lock_);
    // Room first, so that keeping the started thread cannot fail.
    threads_.reserve(threads_.size() + 1);
    entry = registry_.emplace(job->name(), std::move(owned));
  }

  // The record owns the job until its removal; the thread borrows it.
  async_req* borrowed = job.get();
  std::thread worker;
  try {
    worker = start_thread_([this, borrowed] {
      borrowed->run_guarded();
      std::lock_guard lock(lock_);
      finished_threads_.push_back(std::this_thread::get_id());
    });
  } catch (...) {
    // Nothing runs the job: a record left behind would be waited for forever.
    job->set_completion({});
    std::unique_ptr<crt_req> removed;
    {
      std::lock_guard lock(lock_);
      removed = std::move(entry->second);
      registry_.erase(entry);
      if (registry_.empty()) {
        empty_.notify_all();
      }
    }
    throw;
  }
  pthread_setname_np(worker.native_handle(), job->name().substr(0, 15).c_str());
  std::lock_guard lock(lock_);
  threads_.push_back(std::move(worker));
}

void crt_req_dispatch::cancel(const std::string& name) {
  std::lock_guard lock(lock_);
  for (auto& [key, record] : registry_) {
    if (key == name) {
      record->job().cancel();
    }
  }
}

void crt_req_dispatch::cancel_all() {
  std::lock_guard lock(lock_);
  for (auto& entry : registry_) {
    entry.second->job().cancel();
  }
}

void crt_req_dispatch::on_done(crt_req* record, async_status) {
  remove(record);
}

void crt_req_dispatch::remove(crt_req* record) {
  std::unique_ptr<crt_req> removed;  // destroyed (and with it maybe the job) after unlocking
  {
    std::lock_guard lock(lock_);
    const auto it = std::find_if(registry_.begin(), registry_.end(), [record](const auto& entry) {
      return entry.second.get() == record;
    });
    if (it != registry_.end()) {
      removed = std::move(it->second);
      registry_.erase(it);
    }
  }
  removed.reset();
  std::lock_guard lock(lock_);
  if (registry_.empty()) {
    empty_.notify_all();
  }
}

void crt_req_dispatch::join_finished_threads() {
  std::vector<std::thread> done;
  {
    std::lock_guard lock(lock_);
    // A thread may finish before submit has stored it: keep its id for later.
    std::erase_if(finished_threads_, [&](std::thread::id id) {
      const auto it = std::find_if(threads_.begin(), threads_.end(),
                                   [id](const std::thread& t) { return t.get_id() == id; });
      if (it == threads_.end()) {
        return false;
      }
      done.push_back(std::move(*it));
      threads_.erase(it);
      return true;
    });
  }
  for (std::thread& thread : done) {
    thread.join();
  }
}

}  // namespace core::threading::concur_rt
