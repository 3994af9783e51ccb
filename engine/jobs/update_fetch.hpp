#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "core/net/http/client.hpp"

namespace parvel {

// Update files start programs on this computer: they come over https only.
// Throws std::runtime_error "Cannot use the address '<url>': not an https
// address." (and the URL parser's std::invalid_argument for a URL without a path).
void require_https_address(const std::string& url);

// The GET of the update jobs: https only, the body in memory or handed to a
// sink. A cancel stops it at any point, before the request or between two
// body pieces, and is remembered: every later get fails too.
class update_fetch {
 public:
  // what names the document in the failure for a status other than 200:
  // "Cannot retreive the <what>. Error: [<status>, <reason>]". A body kept
  // in memory over body_limit bytes fails the get; wait bounds the time it takes.
  explicit update_fetch(std::string what,
                        std::uint64_t body_limit = core::net::http::default_body_limit,
                        core::net::http::answer_wait wait = core::net::http::answer_wait::deadline)
      : what_(std::move(what)), body_limit_(body_limit), wait_(wait) {}

  // progress: after each body piece, the bytes so far and the announced total.
  std::string get(const std::string& url, const core::net::http::progress_callback& progress = {});
  // The same GET with the body of a 200 answer handed to sink as it arrives,
  // of any size; returns the answer without it (with it, when sink is empty).
  core::net::http::basic_response get(const std::string& url,
                                      const core::net::http::body_sink& sink,
                                      const core::net::http::progress_callback& progress);
  // Any thread: the get under way, or the next, fails with the client's
  // cancellation text "WinHTTP close pending....".
  void cancel() noexcept;

 private:
  void throw_if_canceled() const;

  const std::string what_;
  const std::uint64_t body_limit_;
  const core::net::http::answer_wait wait_;
  core::net::http::basic_client client_;
  std::atomic<bool> canceled_{false};
};

}  // namespace parvel
