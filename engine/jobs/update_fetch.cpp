#include "engine/jobs/update_fetch.hpp"

#include <stdexcept>

#include "core/net/uri.hpp"

namespace parvel {

void require_https_address(const std::string& url) {
  const core::net::uri address(url);
  if (address.scheme() != "https" || address.host().empty()) {
    throw std::runtime_error("Cannot use the address '" + url + "': not an https address.");
  }
}

std::string update_fetch::get(const std::string& url,
                              const core::net::http::progress_callback& progress) {
  return std::move(get(url, {}, progress).body);
}

core::net::http::basic_response update_fetch::get(
    const std::string& url, const core::net::http::body_sink& sink,
    const core::net::http::progress_callback& progress) {
  require_https_address(url);
  // The client forgets a cancel that comes before its call starts; this
  // flag does not, and stops the body at its next piece.
  client_.set_download_progress([this, progress](std::uint64_t done, std::uint64_t total) {
    throw_if_canceled();
    if (progress) {
      progress(done, total);
    }
  });
  throw_if_canceled();
  core::net::http::basic_request request(url, {});
  request.wait = wait_;
  core::net::http::basic_response response =
      sink ? client_.get(request, sink) : client_.get(request, body_limit_);
  throw_if_canceled();
  if (response.status != 200) {
    throw std::runtime_error("Cannot retreive the " + what_ + ". Error: [" +
                             std::to_string(response.status) + ", " + response.reason + "]");
  }
  return response;
}

void update_fetch::cancel() noexcept {
  canceled_ = true;
  client_.cancel();
}

void update_fetch::throw_if_canceled() const {
  if (canceled_) {
    throw std::runtime_error("WinHTTP close pending....");
  }
}

}  // namespace parvel
