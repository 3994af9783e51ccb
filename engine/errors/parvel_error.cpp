#include "engine/errors/parvel_error.hpp"

#include "engine/app/application.hpp"

namespace parvel {

parvel_error::parvel_error(int code)
    : code_(static_cast<parvel_code::parvel_code>(code)),
      message_(application::instance()->get_localized_string(parvel_code_key(code))) {}

parvel_error::parvel_error(int code, const std::string& detail) : parvel_error(code) {
  detail_ = detail;
  const std::size_t at = message_.find("[1]");
  if (at != std::string::npos) {
    message_.replace(at, 3, detail);
  }
}

}  // namespace parvel
