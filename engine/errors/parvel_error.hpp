#pragma once

#include <exception>
#include <string>

#include "engine/errors/parvel_code.hpp"

namespace parvel {

// The failure of a send: its code and the localized text of the code's key,
// the first "[1]" replaced by the detail when one is given. Built on worker
// threads too: it only reads the application's localization table.
class parvel_error : public std::exception {
 public:
  explicit parvel_error(int code);
  parvel_error(int code, const std::string& detail);

  const char* what() const noexcept override { return message_.c_str(); }
  parvel_code::parvel_code code() const { return code_; }
  const std::string& detail() const { return detail_; }

 private:
  parvel_code::parvel_code code_;
  std::string message_;
  std::string detail_;
};

}  // namespace parvel
