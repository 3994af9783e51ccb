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
#include <string_view>

#include "core/log/logger.hpp"
#include "core/scoped_handle.hpp"
#include "core/system_error.hpp"

namespace parvel {

namespace {

namespace fs = std::filesystem;

[[noreturn]] void throw_temp_path_error(int error) {
  throw core::windows_system_error("Cannot get the temp path", static_cast<std::uint32_t>(error));
}

std::string folder_name() {
  return "lumbrel-send-photo-" + std::to_string(::getuid());
}

std::string base_folder() {
  const char* base = std::getenv("TMPDIR");
  std::string folder = base != nullptr && base[0] == '/' ? base : "/var/tmp";
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

bool is_digits(std::string_view text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string lower(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : static_cast<char>(c);
  });
  return out;
}

// "<name>-<yyyy>-<mm>-<dd>-<n>.zip", as the photo set names its archives.
bool is_archive_name(std::string_view name) {
  if (!lower(name).ends_with(".zip")) {
    return false;
  }
  name.remove_suffix(4);
  const std::size_t counter = name.rfind('-');
  if (counter == std::string_view::npos || !is_digits(name.substr(counter + 1))) {
    return false;
  }
  const std::string_view rest = name.substr(0, counter);
  // "-yyyy-mm-dd" after a name of at least one byte.
  if (rest.size() < 12) {
    return false;
  }
  const std::string_view date = rest.substr(rest.size() - 11);
  return date[0] == '-' && is_digits(date.substr(1, 4)) && date[5] == '-' &&
         is_digits(date.substr(6, 2)) && date[8] == '-' && is_digits(date.substr(9, 2));
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

bool is_leftover(std::string_view name) {
  if (is_archive_name(name) || is_installer_name(name)) {
    return true;
  }
  // An interrupted atomic write: the name, "." and six random characters.
  return name.size() > 7 && name[name.size() - 7] == '.' &&
         (is_archive_name(name.substr(0, name.size() - 7)) ||
          is_installer_name(name.substr(0, name.size() - 7)));
}

std::mutex leftovers_mutex;
// Folders this process uses, each with a shared lock held until exit.
std::map<std::string, core::scoped_handle> folders_in_use;

}  // namespace

std::string get_temp_folder() {
  const std::string folder = base_folder() + "/" + folder_name();
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
    throw_temp_path_error(errno);
  }
  const std::string reason = refusal(folder);
  return reason.empty() ? folder : fallback_for(folder, reason);
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
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
      std::error_code ignored;
      if (it->is_regular_file(ignored) && !it->is_symlink(ignored) &&
          is_leftover(it->path().filename().string())) {
        fs::remove(it->path(), ignored);
      }
    }
  }
  ::flock(in_use.get(), LOCK_SH | LOCK_NB);
  folders_in_use.emplace(folder, std::move(in_use));
}

}  // namespace parvel
