#include "engine/jobs/update_download.hpp"

#include <unistd.h>

#include <algorithm>
#include <boost/algorithm/string/predicate.hpp>
#include <limits>
#include <stdexcept>
#include <system_error>

#include "core/atomic_file.hpp"
#include "core/log/logger.hpp"
#include "core/net/http/find_header.hpp"
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

void check_saved(int error) {
  if (error != 0) {
    throw std::runtime_error("Cannot save the package: " + std::generic_category().message(error));
  }
}

// The client fails a body cut short of its Content-Length or of its last
// chunk; a body that ends when the connection closes cannot be told whole.
void require_declared_length(const core::net::http::basic_response& answer) {
  const auto encoding = core::net::http::find_header(answer.headers, "Transfer-Encoding");
  if (!core::net::http::find_header(answer.headers, "Content-Length") &&
      !(encoding && boost::icontains(*encoding, "chunked"))) {
    throw std::runtime_error(
        "Cannot retreive the package: the answer does not declare its length.");
  }
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
  const std::string path = get_installer_folder() + "/" + installer_file_name(url_);
  core::file_replacement file(path);
  check_saved(file.open());
  std::uint64_t received = 0;
  const auto answer = fetch_.get(
      url_,
      [&](std::string_view piece) {
        check_saved(file.write(piece));
        received += piece.size();
      },
      [this](std::uint64_t done, std::uint64_t total) {
        signal_progress(saturated(done), saturated(total));
      });
  require_declared_length(answer);
  if (length_ != 0 && received != length_) {
    throw std::runtime_error("Cannot retreive the package: " + std::to_string(received) +
                             " bytes arrived, the feed gives " + std::to_string(length_) + ".");
  }
  check_saved(file.commit());
  // Writing hundreds of megabytes to the disk takes a while: a cancel that
  // came meanwhile still wins, up to here.
  settle_outcome();
  if (canceled()) {
    ::unlink(path.c_str());
    throw std::runtime_error("WinHTTP close pending....");
  }
  return path;
}

}  // namespace parvel
