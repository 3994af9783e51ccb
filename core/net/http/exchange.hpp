#pragma once

#include <atomic>

#include "core/net/http/body_source.hpp"
#include "core/net/http/client.hpp"

namespace core::net::http {

// One call of a client, from the first connection to the last byte of the
// final response, on the calling thread. Progress callbacks are copies taken
// when the call starts.
class exchange {
 public:
  exchange(progress_callback upload_progress, progress_callback download_progress)
      : upload_progress_(std::move(upload_progress)),
        download_progress_(std::move(download_progress)) {}
  exchange(const exchange&) = delete;
  exchange& operator=(const exchange&) = delete;

  basic_response run(const basic_request& request, body_source& body);

  // Any thread: the call stops at its next body piece.
  void abort() noexcept { abort_ = true; }

 private:
  std::atomic<bool> abort_{false};
  progress_callback upload_progress_;
  progress_callback download_progress_;
};

}  // namespace core::net::http
