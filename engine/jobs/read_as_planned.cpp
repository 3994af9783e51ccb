#include "engine/jobs/read_as_planned.hpp"

#include <stdexcept>
#include <system_error>

#include "engine/jobs/cancellable_job.hpp"

namespace parvel {

namespace {

void expect_as_planned(const std::string& path, const file_stamp& planned) {
  const file_stamp now = stamp_of(path, "the file '" + path + "'");
  if (now == planned) {
    return;
  }
  const std::string file = "cannot read the file '" + path + "': ";
  if (now.size != planned.size) {
    throw std::runtime_error(file + "it holds " + std::to_string(now.size) + " bytes, not the " +
                             std::to_string(planned.size) + " planned");
  }
  if (now.device != planned.device || now.inode != planned.inode) {
    throw std::runtime_error(file + "another file took its place since it was planned");
  }
  throw std::runtime_error(file + "it was written to since it was planned");
}

}  // namespace

file_stamp planned_stamp_of(const std::string& path) {
  try {
    return stamp_of(path, path);
  } catch (const std::system_error&) {
    return {};
  }
}

void read_as_planned(const std::string& path, const file_stamp& planned,
                     const core::threading::stop_flag& stop, const std::function<void()>& read) {
  expect_as_planned(path, planned);
  try {
    read();
  } catch (const job_canceled&) {
    throw;
  } catch (...) {
    if (stop) {
      throw job_canceled();
    }
    expect_as_planned(path, planned);
    throw;
  }
  expect_as_planned(path, planned);
}

}  // namespace parvel
