#pragma once

#include <stdexcept>
#include <string>

namespace service {

// A request the service turns down: the status to answer and the reason,
// which becomes the answer's body.
class refusal : public std::runtime_error {
 public:
  refusal(int status, const std::string& reason) : std::runtime_error(reason), status_(status) {}
  int status() const { return status_; }

 private:
  int status_;
};

}  // namespace service
