#include "engine/photos/temp_folder.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <mutex>
#include <set>
#include <string_view>

#include "core/log/logger.hpp"
#include "core/scoped_handle.hpp"
#include "core/system_error.hpp"
#include "engine/photos/archive_name.hpp"

namespace parvel {

namespace {

namespace fs = std::filesystem;

std::string folder_name() {
  return "lumbrel-send-photo-" + std::to_string(::getuid());
}

constexpr char installer_folder_name[] = "installer";

std::string without_trailing_slashes(std::string folder) {
  while (folder.size() > 1 && folder.back() == '/') {
    folder.pop_back();
  }
  return folder;
}

// Why the folder at path cannot be ours, or "" when it is (a folder we own,
// not a link). Wider modes are narrowed on the way.
std::string refusal(const std::string& path) {
  struct stat status {};
  if (::lstat(path.c_str(), &status) != 0) {
    throw_temp_path_error(errno);
  }
  if (S_ISLNK(status.st_mode)) {
    return "it is a link";
  }
  if (!S_ISDIR(status.st_mode)) {
    return "it is no folder";
  }
  if (status.st_uid != ::getuid()) {
    return "another user owns it";
  }
  if ((status.st_mode & 07777) != 0700) {
    if (::chmod(path.c_str(), 0700) != 0) {
      throw_temp_path_error(errno);
    }
    core::log::write(core::log::severity::warning, "The temp folder %s had mode %o; now 0700", path,
                     status.st_mode & 07777);
  }
  // A folder of ours on a file system mounted read-only since.
  if (::access(path.c_str(), W_OK | X_OK) != 0) {
    throw_temp_path_error(errno);
  }
  return {};
}

std::mutex fallback_mutex;
// The fixed name -> the folder made in its place, for this process.
std::map<std::string, std::string> fallbacks;

std::string fallback_for(const std::string& taken, const std::string& reason) {
  std::lock_guard lock(fallback_mutex);
  std::string& folder = fallbacks[taken];
  if (folder.empty()) {
    std::string pattern = taken + "-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
      const int error = errno;
      fallbacks.erase(taken);
      throw_temp_path_error(error);
    }
    folder = pattern;
    core::log::write(core::log::severity::warning, "Cannot use the temp folder %s: %s; using %s",
                     taken, reason, folder);
  }
  return folder;
}

// The private folder in base, made when missing.
std::string private_folder_in(const std::string& base) {
  const std::string folder = (base == "/" ? "" : base) + "/" + folder_name();
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
    throw_temp_path_error(errno);
  }
  const std::string reason = refusal(folder);
  return reason.empty() ? folder : fallback_for(folder, reason);
}

// Each base skipped with its reason, "Cannot use the temp folder <base>:
// <reason><outcome>", once a process: the folder is asked for at every send.
void log_skipped_once(const std::vector<std::pair<std::string, std::string>>& skipped,
                      const std::string& outcome) {
  static std::mutex mutex;
  static std::set<std::string> logged;
  std::lock_guard lock(mutex);
  for (const auto& [base, reason] : skipped) {
    const std::string line = "Cannot use the temp folder " + base + ": " + reason + outcome;
    if (logged.insert(line).second) {
      core::log::write(core::log::severity::warning, "%s", line);
    }
  }
}

std::string lower(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : static_cast<char>(c);
  });
  return out;
}

// The kinds of installer an update feed offers for this platform.
bool is_installer_name(std::string_view name) {
  const std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos || dot == 0) {
    return false;
  }
  const std::string kind = lower(name.substr(dot));
  for (const char* known : {".run", ".sh", ".bin", ".deb", ".rpm", ".appimage"}) {
    if (kind == known) {
      return true;
    }
  }
  return false;
}

// The name of a write_file_atomically that never finished: the installer's
// name, "." and the six letters or digits of mkstemp. Archives are written in
// place, so only installers leave these.
bool is_interrupted_installer(std::string_view name) {
  constexpr std::size_t suffix = 7;
  if (name.size() <= suffix || name[name.size() - suffix] != '.') {
    return false;
  }
  const std::string_view random = name.substr(name.size() - suffix + 1);
  return std::all_of(random.begin(), random.end(),
                     [](char c) {
                       return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') ||
                              (c >= 'a' && c <= 'z');
                     }) &&
         is_installer_name(name.substr(0, name.size() - suffix));
}

// The pixel cache ImageMagick kept here while older versions decoded a BMP
// through it: hundreds of megabytes when a kill left it.
bool is_decoder_cache(std::string_view name) {
  return name.starts_with("magick-");
}

bool is_leftover(std::string_view name) {
  return is_archive_name(name) || is_installer_name(name) || is_interrupted_installer(name) ||
         is_decoder_cache(name);
}

// Removes the regular files of folder (not links) whose names is_removed accepts.
template <class Test>
void remove_files(const fs::path& folder, const Test& is_removed) {
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    std::error_code ignored;
    if (it->is_regular_file(ignored) && !it->is_symlink(ignored) &&
        is_removed(it->path().filename().string())) {
      fs::remove(it->path(), ignored);
    }
  }
}

std::mutex leftovers_mutex;
// Folders this process uses, each with a shared lock held until exit.
std::map<std::string, core::scoped_handle> folders_in_use;

std::vector<std::string> temp_folder_bases() {
  std::vector<std::string> bases;
  if (const char* tmpdir = std::getenv("TMPDIR"); tmpdir != nullptr && tmpdir[0] != '\0') {
    bases.emplace_back(tmpdir);
  }
  bases.emplace_back("/var/tmp");
  bases.emplace_back("/tmp");
  return bases;
}

}  // namespace

std::string get_temp_folder(const std::vector<std::string>& bases) {
  int first_error = 0;
  std::vector<std::pair<std::string, std::string>> skipped;
  for (const std::string& base : bases) {
    int error = EINVAL;
    std::string reason = "it is no absolute path";
    if (base.starts_with('/')) {
      try {
        const std::string folder = private_folder_in(without_trailing_slashes(base));
        log_skipped_once(skipped, "; using " + folder);
        return folder;
      } catch (const core::windows_system_error& e) {
        error = static_cast<int>(e.code());
        reason = std::strerror(error);
      }
    }
    if (first_error == 0) {
      first_error = error;
    }
    skipped.emplace_back(base, reason);
  }
  log_skipped_once(skipped, "");
  throw_temp_path_error(first_error == 0 ? ENOENT : first_error);
}

std::string get_temp_folder() {
  return get_temp_folder(temp_folder_bases());
}

std::string get_installer_folder() {
  const std::string folder = get_temp_folder() + "/" + installer_folder_name;
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
    throw_temp_path_error(errno);
  }
  struct stat status {};
  if (::lstat(folder.c_str(), &status) != 0) {
    throw_temp_path_error(errno);
  }
  if (!S_ISDIR(status.st_mode)) {
    throw_temp_path_error(ENOTDIR);
  }
  return folder;
}

void throw_temp_path_error(int error) {
  throw core::windows_system_error("Cannot get the temp path", static_cast<std::uint32_t>(error));
}

void remove_leftovers(const std::string& folder) {
  std::lock_guard lock(leftovers_mutex);
  if (folders_in_use.contains(folder)) {
    return;
  }
  core::scoped_handle in_use(
      ::open((folder + "/.in-use").c_str(), O_RDONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
  if (!in_use) {
    core::log::write(core::log::severity::warning, "Cannot lock the temp folder %s: %s", folder,
                     std::strerror(errno));
    return;
  }
  // The exclusive lock fails while another process of ours holds its shared one.
  if (::flock(in_use.get(), LOCK_EX | LOCK_NB) == 0) {
    remove_files(folder, is_leftover);
    remove_files(fs::path(folder) / installer_folder_name, [](const std::string&) { return true; });
  }
  ::flock(in_use.get(), LOCK_SH | LOCK_NB);
  folders_in_use.emplace(folder, std::move(in_use));
}

}  // namespace parvel
