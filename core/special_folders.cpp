#include "core/special_folders.hpp"

#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "core/system_error.hpp"

namespace core {

namespace {

std::string absolute_variable(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr || value[0] != '/') {
    return {};
  }
  return value;
}

std::string under_home(const char* variable, const char* fallback) {
  std::string folder = absolute_variable(variable);
  return folder.empty() ? home_folder() + fallback : folder;
}

}  // namespace

std::string home_folder() {
  std::string home = absolute_variable("HOME");
  if (!home.empty()) {
    return home;
  }
  long size = sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
  passwd entry{};
  passwd* found = nullptr;
  const int error = getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found);
  if (found == nullptr || found->pw_dir == nullptr || found->pw_dir[0] != '/') {
    throw windows_system_error("Cannot to get a system-wide directory.",
                               static_cast<std::uint32_t>(error != 0 ? error : ENOENT));
  }
  return found->pw_dir;
}

std::string config_home_folder() {
  return under_home("XDG_CONFIG_HOME", "/.config");
}

std::string system_config_folder() {
  const char* value = std::getenv("XDG_CONFIG_DIRS");
  const std::string list = value != nullptr ? value : "";
  const std::string first = list.substr(0, list.find(':'));
  return first.starts_with('/') ? first : "/etc/xdg";
}

std::string get_special_folder() {
  return under_home("XDG_DATA_HOME", "/.local/share");
}

std::string get_local_app_data_folder() {
  return get_special_folder();
}

}  // namespace core
