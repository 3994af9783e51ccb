#pragma once

#include <string>

namespace parvel {

// The program's private temporary folder: "lumbrel-send-photo-<uid>" of mode
// 0700 under $TMPDIR, else /var/tmp (archives reach 4 GiB: never a RAM-backed
// folder by default). Created when missing. A folder of that name that is not
// ours (another owner, a link, other modes) is refused: windows_system_error
// "Cannot get the temp path".
std::string get_temp_folder();

}  // namespace parvel
