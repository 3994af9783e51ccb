#include "core/settings/registry.hpp"

#include <cerrno>
#include <filesystem>

#include "core/damaged_file.hpp"
#include "core/log/logger.hpp"
#include "core/log/severity.hpp"
#include "core/special_folders.hpp"
#include "core/system_error.hpp"

namespace core {

namespace {

std::string settings_path(const std::string& folder, const std::string& product,
                          const std::string& sub_key) {
  return folder + "/" + product + (sub_key.empty() ? "" : "/" + sub_key) + "/settings";
}

}  // namespace

std::string user_settings_path(const std::string& product, const std::string& sub_key) {
  return settings_path(config_home_folder(), product, sub_key);
}

std::string system_settings_path(const std::string& product, const std::string& sub_key) {
  return settings_path(system_config_folder(), product, sub_key);
}

registry_key::registry_key(const std::string& product, const std::string& sub_key) {
  const std::string system_path = system_settings_path(product, sub_key);
  key_path_ = system_path;
  // Without a home folder (a container) the system's values still count.
  int user_error = ENOENT;
  try {
    key_path_ = user_settings_path(product, sub_key);
    user_error = user_.load(key_path_);
  } catch (const windows_system_error& e) {
    log::write(log::severity::warning, "The user's settings are skipped: %s", e.what());
  }
  const int system_error = system_.load(system_path);
  // The system file is the last place looked, but a file that exists and
  // cannot be read is the cause of a missing value wherever it lies, never
  // the other's absence.
  const auto unreadable = [](int error) { return error != 0 && error != ENOENT; };
  missing_error_ = unreadable(system_error) ? system_error
                   : unreadable(user_error) ? user_error
                                            : ENOENT;
}

std::string registry_key::read(const std::string& name) const {
  for (const settings_file* file : {&user_, &system_}) {
    if (const std::string* value = file->find(name)) {
      return *value;
    }
  }
  throw windows_system_error(
      "cannot read the registry. key: '" + key_path_ + "', value: '" + name + "'.",
      static_cast<std::uint32_t>(missing_error_));
}

std::string read_registry_string(const std::string& name, const std::string& sub_key,
                                 const std::string& product) {
  return registry_key(product, sub_key).read(name);
}

void write_registry_string(const std::string& name, const std::string& sub_key,
                           const std::string& product, const std::string& value) {
  const std::string path = user_settings_path(product, sub_key);
  std::error_code created;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), created);
  settings_file file;
  const int open_error = created ? created.value() : file.load(path);
  if (open_error != 0 && open_error != ENOENT) {
    throw windows_system_error("cannot open the registry key: '" + path + "'.",
                               static_cast<std::uint32_t>(open_error));
  }
  // What a damaged file held beyond its readable lines is kept aside.
  if (file.has_skipped_lines()) {
    if (const int error = move_damaged_file_aside(path)) {
      throw windows_system_error(
          "cannot write the registry. key: '" + path + "', value: '" + name + "'.",
          static_cast<std::uint32_t>(error));
    }
  }
  file.set(name, value);
  if (const int error = file.save(path)) {
    throw windows_system_error(
        "cannot write the registry. key: '" + path + "', value: '" + name + "'.",
        static_cast<std::uint32_t>(error));
  }
}

}  // namespace core
