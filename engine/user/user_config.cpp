#include "engine/user/user_config.hpp"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <map>
#include <mutex>
#include <system_error>

#include "core/atomic_file.hpp"
#include "core/com_apartment_guard.hpp"
#include "core/damaged_file.hpp"
#include "core/io/filesystem/whole_file.hpp"
#include "core/log/logger.hpp"
#include "core/special_folders.hpp"
#include "core/system_error.hpp"
#include "core/xml/xml_escape.hpp"
#include "core/xml/xml_reader.hpp"
#include "engine/photos/local_date.hpp"
#include "engine/user/user_config_handler.hpp"

namespace parvel {

namespace {

namespace fs = std::filesystem;

// How load found each config file, for the saves of the run. One it could
// not read holds what the records saved in this run lack, so no save may
// write over it, not even once it can be read again; the next start tries
// again. One it read only in part is kept aside before the first save.
struct load_outcome {
  int read_error = 0;
  bool damaged = false;
};

class load_outcomes {
 public:
  void set(const std::string& path, load_outcome outcome) {
    std::lock_guard lock(mutex_);
    if (outcome.read_error == 0 && !outcome.damaged) {
      outcomes_.erase(path);
    } else {
      outcomes_[path] = outcome;
    }
  }
  load_outcome get(const std::string& path) const {
    std::lock_guard lock(mutex_);
    const auto found = outcomes_.find(path);
    return found == outcomes_.end() ? load_outcome{} : found->second;
  }

 private:
  mutable std::mutex mutex_;
  std::map<std::string, load_outcome> outcomes_;
};

load_outcomes& loaded() {
  static load_outcomes outcomes;
  return outcomes;
}

std::string config_document(const user_config& record) {
  std::string xml = R"(<?xml version="1.0" encoding="utf-8"?>)";
  xml += "<user email=\"" + core::xml_attribute_text(record.email) + "\"><contacts>";
  for (const std::string& contact : record.contacts) {
    xml += "<contact email=\"" + core::xml_attribute_text(contact) + "\" />";
  }
  xml += "</contacts><package date=\"" + core::xml_attribute_text(record.date) + "\" value=\"" +
         std::to_string(record.value) + "\" /></user>";
  return xml;
}

}  // namespace

user_config::user_config() : date(today_iso_date()) {}

void user_config::set_package(const std::string& stored_date, std::int32_t stored_value) {
  date = stored_date;
  value = stored_value;
  const std::string today = today_iso_date();
  if (date != today) {
    date = today;
    value = 0;
  }
}

user_config user_config::load() {
  user_config record;
  try {
    const std::string path = config_path();
    std::string document;
    const int error = core::io::filesystem::read_whole_file(path, document);
    // A file read counts as damaged until it has parsed.
    loaded().set(path, {error == ENOENT ? 0 : error, error == 0});
    if (error == 0) {
      [[maybe_unused]] const core::com_apartment_guard apartment;
      user_config_handler handler(record);
      core::xml_reader().parse(&handler, document);
      loaded().set(path, {});
    } else if (error != ENOENT) {
      throw core::windows_system_error("cannot read the file '" + path + "'",
                                       static_cast<std::uint32_t>(error));
    }
  } catch (const std::exception& e) {
    core::log::write(core::log::severity::error, "user_config::load failed: '%s'", e.what());
  }
  // Also what a damaged file gave before its damage comes back sorted.
  std::sort(record.contacts.begin(), record.contacts.end());
  return record;
}

void save_config(const user_config& record) {
  try {
    const fs::path path = config_path();
    const load_outcome outcome = loaded().get(path);
    if (outcome.read_error != 0) {
      throw core::windows_system_error("cannot write over the unread file '" + path.string() + "'",
                                       static_cast<std::uint32_t>(outcome.read_error));
    }
    if (outcome.damaged) {
      if (const int failure = core::move_damaged_file_aside(path)) {
        throw std::system_error(failure, std::generic_category(),
                                "cannot keep the damaged file " + path.string());
      }
      loaded().set(path, {});
    }
    std::error_code error;
    fs::create_directories(path.parent_path(), error);
    if (error) {
      throw fs::filesystem_error("cannot create the folder", path.parent_path(), error);
    }
    if (const int failure = core::write_stored_file(path.string(), config_document(record))) {
      throw std::system_error(failure, std::generic_category(), "cannot write " + path.string());
    }
  } catch (const std::exception& e) {
    core::log::write(core::log::severity::error, "save_config failed: '%s'", e.what());
  }
}

std::string config_path() {
  return (fs::path(core::get_local_app_data_folder()) / "Lumbrel Send Photo" / "parvel.config")
      .string();
}

}  // namespace parvel
