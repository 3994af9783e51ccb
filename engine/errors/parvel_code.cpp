#include "engine/errors/parvel_code.hpp"

namespace parvel {

const char* parvel_code_key(int code) {
  switch (code) {
    case parvel_code::send_renaming:
      return "send_renaming";
    case parvel_code::send_zipping:
      return "send_zipping";
    case parvel_code::send_upload_start:
      return "send_upload_start";
    case parvel_code::send_uploading:
      return "send_uploading";
    case parvel_code::zip_error_generic:
      return "zip_error_generic";
    case parvel_code::zip_error_file_not_found:
      return "zip_error_file_not_found";
    case parvel_code::zip_error_access_denied:
      return "zip_error_access_denied";
    case parvel_code::zip_error_4GB_limit:
      return "zip_error_4GB_limit";
    case parvel_code::network_error_generic:
      return "network_error_generic";
    case parvel_code::network_error_host_not_found:
      return "network_error_host_not_found";
    case parvel_code::network_error_connection_timeout:
      return "network_error_connection_timeout";
    case parvel_code::network_error_forbidden:
      return "network_error_forbidden";
    case parvel_code::fatal:
      return "fatal";
    default:
      return "ok";
  }
}

}  // namespace parvel
