#include "engine/jobs/update_download.hpp"

#include <algorithm>
#include <limits>
#include <stdexcept>
#include <system_error>

#include "core/atomic_file.hpp"
#include "core/log/logger.hpp"
#include "engine/photos/temp_folder.hpp"

namespace parvel {

namespace {

// The last element of the address's path; query and fragment are no part of
// a file name. "", "." and ".." name no file in the folder.
std::string installer_file_name(const std::string& url) {
  const std::string path = url.substr(0, url.find_first_of("?#"));
  std::string name = path.substr(path.rfind('/') + 1);
  if (name.empty() || name == "." || name == "..") {
    throw std::runtime_error("Cannot save the package: the address names no file.");
  }
  return name;
}

unsigned saturated(std::uint64_t value) {
  return static_cast<unsigned>(
      std::min<std::uint64_t>(value, std::numeric_limits<unsigned>::max()));
}

}  // namespace

void update_download::run() {
  std::string path;
  try {
    path = download();
  } catch (const std::exception& e) {
    core::log::write(core::log::severity::error, "update_download failed: '%s'", e.what());
    signal_failed();
    return;
  }
  signal_succeeded(path);
}

std::string update_download::download() {
  const std::string path = get_temp_folder() + "/" + installer_file_name(url_);
  // A body cut short of its Content-Length fails inside the client, so only
  // a whole installer is ever saved.
  const std::string body = fetch_.get(url_, [this](std::uint64_t received, std::uint64_t total) {
    signal_progress(saturated(received), saturated(total));
  });
  if (const int error = core::write_file_atomically(path, body)) {
    throw std::runtime_error("Cannot save the package: " + std::generic_category().message(error));
  }
  return path;
}

}  // namespace parvel
