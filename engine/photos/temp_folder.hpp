#pragma once

#include <string>
#include <vector>

namespace parvel {

// The program's private temporary folder: "lumbrel-send-photo-<uid>" of mode
// 0700 in the first of bases that serves. Created when missing; a folder of
// ours with wider modes is narrowed. When the name is taken by someone else
// (another owner, not a folder, a link) in that folder everyone can write, a
// fresh private folder beside it serves this process instead, with a log
// line: the same one at every call. A base that cannot serve (missing, no
// folder, not writable, not absolute) is skipped with a log line, once a
// process. When none serves, throws windows_system_error "Cannot get the temp
// path" with the first base's error.
std::string get_temp_folder(const std::vector<std::string>& bases);
// In $TMPDIR when set, else (or when it cannot serve) /var/tmp: archives
// reach 4 GiB, so never a RAM-backed folder by default; /tmp last.
std::string get_temp_folder();

// The folder in get_temp_folder() that holds downloaded installers and
// nothing else, so that no installer's name can take a file of the program's
// own. Created when missing; throws get_temp_folder's failure, with the
// system's error when it cannot be made.
std::string get_installer_folder();

// Throws get_temp_folder's failure with the system's error.
[[noreturn]] void throw_temp_path_error(int error);

// Removes the archives and installers that earlier runs left in folder, once
// a process: every file of the installer folder in it, whatever its name, and
// of folder itself only files of ours by their names: every name the photo
// set can give an archive (is_archive_name), and the installers (of the kinds
// an update offers) and interrupted downloads that older versions saved
// there, and the decoder caches older versions left there when killed.
// Skipped while another process of ours uses the folder, whose archive may
// still wait for a retry. Never throws.
void remove_leftovers(const std::string& folder);

}  // namespace parvel
