#pragma once

namespace parvel::parvel_code {

// The stages and failures of a send, carried as ints (any int is a valid
// value: codes without a key of their own read as "ok"). Each code's
// localization key is also the text a stage report shows.
enum parvel_code : int {
  ok = 0,
  send_renaming = 1,
  send_zipping = 2,
  send_upload_start = 3,
  send_uploading = 4,
  zip_error_generic = 6,
  zip_error_file_not_found = 7,
  zip_error_access_denied = 8,
  zip_error_4GB_limit = 9,
  network_error_generic = 11,
  network_error_host_not_found = 12,
  network_error_connection_timeout = 13,
  network_error_forbidden = 14,
  fatal = 15,
};

}  // namespace parvel::parvel_code

namespace parvel {

// The localization key of a code; codes without a key of their own give "ok".
const char* parvel_code_key(int code);

}  // namespace parvel
