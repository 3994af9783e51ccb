#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "core/threading/async_req.hpp"

namespace parvel {

// Hands a new job to the application's dispatcher, whose record becomes its
// only owner: it is destroyed on its worker thread when its run has ended,
// and its signal connections with it.
void submit_job(const std::shared_ptr<core::threading::async_req>& job);
// Asks every running job of that name to stop; returns at once.
void cancel_jobs(const std::string& name);
// At program exit, before imaging is shut down: asks every job to stop and
// waits until all have ended and their threads are gone, at most limit.
// False, with each job still running logged, when some did not end: the
// caller then ends the process without waiting for them.
bool cancel_all_jobs_and_wait(std::chrono::milliseconds limit);

}  // namespace parvel
