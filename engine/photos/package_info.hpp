#pragma once

#include <atomic>
#include <boost/signals2/signal.hpp>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "engine/photos/file_stamp.hpp"
#include "engine/photos/photo_entry.hpp"

namespace core::io::filesystem {
class file_sink;
}

namespace parvel {

class rename_alg;

// The photo set being prepared for one send. The user interface fills it on
// its thread; while a send runs the archive job renames and reads the photos
// and the upload job reads the texts on their threads. The photos and the
// strategy are guarded by a lock, since the add-photos page may still add to
// a set whose vector the job is walking; the texts are written only at the
// send's commit, before the jobs start, except the archive name and counter,
// which the archive job settles before it writes. Signals are raised on the
// calling thread, never under the lock.
class package_info {
 public:
  // In get_temp_folder(). A temp folder that cannot be had never stops the
  // program: it is logged, and each send fails with its error.
  package_info();
  explicit package_info(const std::function<std::string()>& find_temp_folder);
  package_info(const package_info&) = delete;
  package_info& operator=(const package_info&) = delete;

  boost::signals2::signal<void()> signal_photos_added;
  boost::signals2::signal<void()> signal_photos_removed;
  boost::signals2::signal<void()> signal_rename_changed;
  boost::signals2::signal<void(const std::string&)> signal_sender_changed;

  // Files of known image formats, and such files directly inside folders;
  // anything else is skipped. A batch that cannot be read is dropped whole
  // with a log line. Never throws.
  void add_paths(const std::vector<std::string>& paths);
  // Appends the entries whose path is new; one signal when any was added.
  void add_entries(const std::vector<photo_entry>& entries);
  void remove_photos(const std::vector<photo_entry>& entries);
  void clear_photos();
  // Ready for the next send: keeps sender, subject, archive name and counter.
  void reset();

  // A copy, taken under the lock.
  std::vector<photo_entry> photos() const;
  // The same with every size read once and cached in the set itself (a size
  // of 0 is asked again): what the photo list shows, one state of the set.
  std::vector<photo_entry> photos_with_sizes();
  std::size_t photo_count() const;
  std::uint64_t total_size();

  std::shared_ptr<rename_alg> get_rename_alg() const;
  // Stores the strategy; the caller raises signal_rename_changed.
  void set_rename_alg(std::shared_ptr<rename_alg> alg);
  // Resets the strategy and renames every photo in list order, each name
  // within what a recipient can extract (target_names); nothing without a
  // strategy.
  void rename_all();

  // archive_name_for the sender, today and the counter.
  void make_archive_name();
  std::string archive_path() const;
  // Creates the archive file, never over an existing one: a name already
  // taken (by another copy of the program sharing the temp folder) moves the
  // counter on to the next free name, so archive_name and counter name the
  // file made. Throws the temp folder's failure when there is none, and
  // core::io::stream_failure "bad open" when the file cannot be made. An
  // archive this set made before goes first: a set has one at a time. A temp
  // folder removed since is sought again as at start.
  core::io::filesystem::file_sink create_archive_file();
  // Removes the archive only when this set made it: until then the name may
  // be another copy's file. Forgets its stamp.
  void remove_archive();
  // The archive as its build left it, kept for the uploads that send it; none
  // until a build has finished, and none once the archive was removed.
  void keep_archive_stamp(const file_stamp& stamp);
  std::optional<file_stamp> built_archive() const;

  const std::string& temp_folder() const { return temp_folder_; }

  std::string sender;
  std::vector<std::string> recipients;
  std::string subject;
  std::string message;
  std::string archive_name;
  std::atomic<bool> archived{false};
  // Read by the closing window while an archive job may settle it.
  std::atomic<std::int32_t> counter{0};

 private:
  mutable std::mutex mutex_;
  std::vector<photo_entry> photos_;
  // The paths of photos_: sets of many thousand photos refuse duplicates
  // without a walk through the list.
  std::unordered_set<std::string> paths_;
  std::shared_ptr<rename_alg> rename_alg_;
  // The archive create_archive_file made and nothing removed yet, else "".
  std::string made_archive_;
  std::optional<file_stamp> built_archive_;
  const std::function<std::string()> find_temp_folder_;
  // Empty when no temp folder served; temp_folder_error_ then holds why.
  // Written again only by the archive job, before it writes, when the folder
  // went missing.
  std::string temp_folder_;
  int temp_folder_error_ = 0;
};

}  // namespace parvel
