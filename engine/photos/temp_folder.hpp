#pragma once

#include <string>

namespace parvel {

// The program's private temporary folder: "lumbrel-send-photo-<uid>" of mode
// 0700 under $TMPDIR, else /var/tmp (archives reach 4 GiB: never a RAM-backed
// folder by default). Created when missing; a folder of ours with wider modes
// is narrowed. When the name is taken by someone else (another owner, not a
// folder, a link) in that folder everyone can write, a fresh private folder
// beside it serves this process instead, with a log line: the same one at
// every call. Failures throw windows_system_error "Cannot get the temp path".
std::string get_temp_folder();

// Removes the archives and installers that earlier runs left in folder, once
// a process. Only files of ours by their names: every name the photo set can
// give an archive (is_archive_name), installers of the kinds an update offers
// and their interrupted downloads. Skipped while another process of ours uses
// the folder, whose archive may still wait for a retry. Never throws.
void remove_leftovers(const std::string& folder);

}  // namespace parvel
