#pragma once

#include <functional>
#include <string>

#include "core/threading/stop_flag.hpp"
#include "engine/photos/file_stamp.hpp"

namespace parvel {

// The photo's file at path as a job plans to read it; all zero when it
// cannot be looked at (its reading then fails on its own).
file_stamp planned_stamp_of(const std::string& path);

// Makes sure the file at path is still as planned, runs read, which reads it,
// and makes sure again once read has ended, whatever its outcome: what was
// read of a file changed meanwhile may be part of another picture, so the
// reading fails with words naming the change (a file cut short would fail
// its decoder with other words). A failure once stop is set throws
// job_canceled.
void read_as_planned(const std::string& path, const file_stamp& planned,
                     const core::threading::stop_flag& stop, const std::function<void()>& read);

}  // namespace parvel
