#include "core/threading/concur_rt/crt_req_dispatch.hpp"

#include <algorithm>
#include <pthread.h>

namespace core::threading::concur_rt {

crt_req_dispatch::~crt_req_dispatch() {
  cancel_all();
  {
    std::unique_lock lock(lock_);
    empty_.wait(lock, [this] { return registry_.empty(); });
  }
  // Every job has been removed; its thread only has to return.
  for (std::thread& thread : threads_) {
    thread.join();
  }
}

void crt_req_dispatch::submit(const std::shared_ptr<async_req>& job) {
  join_finished_threads();
  auto owned = std::make_unique<crt_req>(job);
  crt_req* record = owned.get();
  {
    std::lock_guard lock(lock_);
    registry_.emplace(job->name(), std::move(owned));
  }
  record->set_done([this](crt_req* r, async_status status) { on_done(r, status); });
  job->set_completion([record](async_status status) { record->on_complete(status); });

  // The record owns the job until its removal; the thread borrows it.
  async_req* borrowed = job.get();
  std::thread worker([this, borrowed] {
    borrowed->run_guarded();
    std::lock_guard lock(lock_);
    finished_threads_.push_back(std::this_thread::get_id());
  });
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

void crt_req_dispatch::on_done(crt_req* record, async_status) { remove(record); }

void crt_req_dispatch::remove(crt_req* record) {
  std::unique_ptr<crt_req> removed;  // destroyed (and with it maybe the job) after unlocking
  {
    std::lock_guard lock(lock_);
    const auto it = std::find_if(registry_.begin(), registry_.end(),
                                 [record](const auto& entry) { return entry.second.get() == record; });
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
