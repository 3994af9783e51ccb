#pragma once

#include <stdexcept>
#include <utility>

#include "core/net/http/response.hpp"

namespace core::net::http {

// A call ended by basic_client::cancel: "WinHTTP close pending....", with
// what had arrived of the final answer when the cancel came after its head
// (status 0 before it). The peer has then acted on the request.
class call_canceled : public std::runtime_error {
 public:
  explicit call_canceled(basic_response arrived)
      : std::runtime_error("WinHTTP close pending...."), arrived_(std::move(arrived)) {}

  const basic_response& arrived() const noexcept { return arrived_; }

 private:
  basic_response arrived_;
};

}  // namespace core::net::http
