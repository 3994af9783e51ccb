#include "engine/jobs/photo_file_state.hpp"

#include <sys/stat.h>

#include <cerrno>
#include <stdexcept>
#include <system_error>

#include "engine/jobs/cancellable_job.hpp"

namespace parvel {

namespace {

std::int64_t nanoseconds(const timespec& time) {
  return static_cast<std::int64_t>(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
}

photo_file_state state_of(const struct stat& status) {
  return {static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino),
          static_cast<std::uint64_t>(status.st_size), nanoseconds(status.st_mtim),
          nanoseconds(status.st_ctim)};
}

void expect_as_planned(const std::string& path, const photo_file_state& planned) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) {
    throw std::system_error(errno, std::generic_category(),
                            "cannot look at the file '" + path + "'");
  }
  const photo_file_state now = state_of(status);
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

photo_file_state photo_file_state_of(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) {
    return {};
  }
  return state_of(status);
}

void read_as_planned(const std::string& path, const photo_file_state& planned,
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
