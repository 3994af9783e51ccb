#include "engine/photos/package_info.hpp"

#include <algorithm>
#include <filesystem>

#include "core/graphics/image_format.hpp"
#include "core/io/filesystem/file_sink.hpp"
#include "core/log/logger.hpp"
#include "core/system_error.hpp"
#include "engine/photos/archive_name.hpp"
#include "engine/photos/local_date.hpp"
#include "engine/photos/package_counter.hpp"
#include "engine/photos/safe_file_name.hpp"
#include "engine/photos/temp_folder.hpp"
#include "engine/rename/file_name_parts.hpp"
#include "engine/rename/rename_alg.hpp"

namespace parvel {

namespace {

namespace fs = std::filesystem;

bool is_known_image(const fs::path& file) {
  std::string extension = split_at_last_dot(file.filename().string()).extension;
  return core::graphics::image_format_from_extension(extension) !=
         core::graphics::image_formats::none;
}

photo_entry entry_for(const fs::path& file) {
  return photo_entry{file.string(), 0, {}, {}};
}

}  // namespace

package_info::package_info() : package_info([] { return get_temp_folder(); }) {}

// The one set is made at start: what earlier runs left goes then.
package_info::package_info(const std::function<std::string()>& find_temp_folder)
    : find_temp_folder_(find_temp_folder) {
  try {
    temp_folder_ = find_temp_folder_();
  } catch (const core::windows_system_error& e) {
    core::log::write(core::log::severity::error, "No folder for archives: %s", e.what());
    temp_folder_error_ = static_cast<int>(e.code());
    return;
  }
  remove_leftovers(temp_folder_);
}

void package_info::add_paths(const std::vector<std::string>& paths) {
  std::vector<photo_entry> found;
  try {
    for (const std::string& path : paths) {
      const fs::file_status status = fs::status(path);
      if (fs::is_regular_file(status)) {
        if (is_known_image(path)) {
          found.push_back(entry_for(path));
        }
      } else if (fs::is_directory(status)) {
        // Sorted by the names' bytes, so a folder comes in the same order at every add.
        // Not a file manager's order: upper case before lower, "IMG_10" before "IMG_9".
        std::vector<fs::path> files;
        for (const fs::directory_entry& item : fs::directory_iterator(path)) {
          if (item.is_regular_file() && is_known_image(item.path())) {
            files.push_back(item.path());
          }
        }
        std::sort(files.begin(), files.end());
        std::transform(files.begin(), files.end(), std::back_inserter(found), entry_for);
      } else {
        core::log::write(core::log::severity::debug, "Cannot add the file: %s", path);
      }
    }
  } catch (const std::exception& e) {
    core::log::write(core::log::severity::debug, "Cannot process the input files: %s", e.what());
    return;
  }
  if (!found.empty()) {
    add_entries(found);
  }
}

void package_info::add_entries(const std::vector<photo_entry>& entries) {
  bool added = false;
  {
    std::lock_guard lock(mutex_);
    for (const photo_entry& entry : entries) {
      if (paths_.insert(entry.path).second) {
        photos_.push_back(entry);
        added = true;
      }
    }
  }
  if (added) {
    signal_photos_added();
  }
}

void package_info::remove_photos(const std::vector<photo_entry>& entries) {
  bool removed = false;
  {
    std::lock_guard lock(mutex_);
    std::unordered_set<std::string> gone;
    for (const photo_entry& entry : entries) {
      if (paths_.erase(entry.path) > 0) {
        gone.insert(entry.path);
      }
    }
    removed = !gone.empty();
    if (removed) {
      std::erase_if(photos_, [&](const photo_entry& p) { return gone.contains(p.path); });
    }
  }
  if (removed) {
    signal_photos_removed();
  }
}

void package_info::clear_photos() {
  {
    std::lock_guard lock(mutex_);
    photos_.clear();
    paths_.clear();
  }
  signal_photos_removed();
}

void package_info::reset() {
  archived = false;
  remove_archive();
  recipients.clear();
  clear_photos();
  set_rename_alg(nullptr);
  signal_rename_changed();
  message.clear();
}

std::vector<photo_entry> package_info::photos() const {
  std::lock_guard lock(mutex_);
  return photos_;
}

std::vector<photo_entry> package_info::photos_with_sizes() {
  std::lock_guard lock(mutex_);
  for (photo_entry& entry : photos_) {
    entry.file_size();
  }
  return photos_;
}

std::size_t package_info::photo_count() const {
  std::lock_guard lock(mutex_);
  return photos_.size();
}

std::uint64_t package_info::total_size() {
  std::lock_guard lock(mutex_);
  std::uint64_t total = 0;
  for (photo_entry& entry : photos_) {
    total += entry.file_size();
  }
  return total;
}

std::shared_ptr<rename_alg> package_info::get_rename_alg() const {
  std::lock_guard lock(mutex_);
  return rename_alg_;
}

void package_info::set_rename_alg(std::shared_ptr<rename_alg> alg) {
  std::lock_guard lock(mutex_);
  rename_alg_ = std::move(alg);
}

void package_info::rename_all() {
  std::lock_guard lock(mutex_);
  if (!rename_alg_) {
    return;
  }
  std::vector<std::string> names;
  names.reserve(photos_.size());
  for (photo_entry& entry : photos_) {
    names.push_back(entry.get_display_name());
  }
  const std::vector<std::string> targets = target_names(*rename_alg_, names);
  for (std::size_t i = 0; i < photos_.size(); ++i) {
    photos_[i].target_name = safe_file_name(targets[i]);
  }
}

void package_info::make_archive_name() {
  archive_name = archive_name_for(sender, today_iso_date(), counter);
}

std::string package_info::archive_path() const {
  return (fs::path(temp_folder_) / archive_name).string();
}

core::io::filesystem::file_sink package_info::create_archive_file() {
  if (temp_folder_.empty()) {
    throw_temp_path_error(temp_folder_error_);
  }
  // A set keeps one archive at a time.
  remove_archive();
  // A cleaner of the temporary folder, or the user, may have removed the
  // folder since: it is found, and made, again as at start.
  if (!fs::is_directory(temp_folder_)) {
    temp_folder_ = find_temp_folder_();
  }
  // Ends: each name passed over is a file in the folder.
  for (;;) {
    if (std::optional<core::io::filesystem::file_sink> file =
            core::io::filesystem::file_sink::create_new(archive_path())) {
      std::lock_guard lock(mutex_);
      made_archive_ = archive_path();
      return std::move(*file);
    }
    core::log::write(core::log::severity::info, "The archive name %s is taken", archive_name);
    counter = next_package_counter(counter);
    make_archive_name();
  }
}

void package_info::remove_archive() {
  std::string path;
  {
    std::lock_guard lock(mutex_);
    path.swap(made_archive_);
    built_archive_.reset();
  }
  if (path.empty()) {
    return;
  }
  std::error_code error;
  fs::remove(path, error);
  if (error) {
    core::log::write(core::log::severity::debug, "Cannot remove the file: %s", error.message());
  }
}

void package_info::keep_archive_stamp(const file_stamp& stamp) {
  std::lock_guard lock(mutex_);
  built_archive_ = stamp;
}

std::optional<file_stamp> package_info::built_archive() const {
  std::lock_guard lock(mutex_);
  return built_archive_;
}

}  // namespace parvel
