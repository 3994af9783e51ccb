#pragma once

#include <curl/curl.h>

#include <atomic>
#include <cstdint>
#include <memory>

#include "core/net/http/body_source.hpp"
#include "core/net/http/client.hpp"

namespace core::net::http {

// One call of a client, from the first connection to the last byte of the
// final response, on the calling thread. Progress callbacks are copies taken
// when the call starts.
class exchange {
 public:
  // body_limit: the most bytes a response body may hold; sink, when set,
  // takes a successful answer's body instead, unbounded.
  exchange(progress_callback upload_progress, proxy_callback proxy_holding,
           progress_callback download_progress, std::uint64_t body_limit, body_sink sink = {});
  exchange(const exchange&) = delete;
  exchange& operator=(const exchange&) = delete;

  basic_response run(const basic_request& request, body_source& body);

  // Any thread: the call stops at once, whatever it is waiting for; its
  // connection is reset, so what the kernel still holds of it never leaves.
  void abort() noexcept;

 private:
  struct multi_deleter {
    void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
  };

  std::atomic<bool> abort_{false};
  progress_callback upload_progress_;
  proxy_callback proxy_holding_;
  progress_callback download_progress_;
  std::uint64_t body_limit_;
  body_sink sink_;
  // Made with the exchange, so that a cancel can always wake the call up.
  std::unique_ptr<CURLM, multi_deleter> multi_;
};

}  // namespace core::net::http
