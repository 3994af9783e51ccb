#pragma once

#include <boost/signals2/signal.hpp>
#include <cstdint>
#include <memory>
#include <mutex>
#include <streambuf>
#include <string>

#include "engine/errors/parvel_error.hpp"
#include "engine/jobs/cancellable_job.hpp"
#include "engine/jobs/unique_entry_names.hpp"

namespace core::io::archivers {
class zip_compress;
struct compressed_entry;
}  // namespace core::io::archivers

namespace parvel {

class package_info;
class entry_pipeline;
struct archive_item;

// Packs the photo set into one zip archive in the temporary folder: renames,
// converts and resizes by the current options, stores the rest unchanged.
// Ends with exactly one of succeeded, failed or canceled; a run that does not
// succeed leaves no archive behind.
//
// With more than one worker, photos are converted and compressed into memory
// on worker threads (a large converted photo into a file of the temporary
// folder, deflated as it is written), several at a time within a memory
// budget, and written in photo order; the archive holds the same bytes as one
// worker writes.
class photo_archive : public cancellable_job {
 public:
  static constexpr std::uint64_t default_size_limit = std::uint64_t{1} << 32;

  // One a core; 1 on a machine that does not tell.
  static unsigned default_workers();

  // size_limit: an archive of this size or more fails with code 9, as soon
  // as the file written reaches it. workers:
  // photos prepared at once; 1 writes each photo in turn on the job's thread.
  explicit photo_archive(std::shared_ptr<package_info> package,
                         std::uint64_t size_limit = default_size_limit,
                         unsigned workers = default_workers());
  ~photo_archive() override;

  boost::signals2::signal<void(const std::shared_ptr<package_info>&)> signal_succeeded;
  boost::signals2::signal<void(std::uint64_t done, std::uint64_t total)> signal_progress;
  boost::signals2::signal<void(const parvel_error&)> signal_failed;
  boost::signals2::signal<void()> signal_canceled;
  boost::signals2::signal<void(parvel_code::parvel_code)> signal_status;

  // A cancel ends the run as canceled at its next step; a write or a
  // conversion under way fails at once.
  void run() override;

  // canceled when a cancel was asked, else failed with the error.
  void report_failure(const parvel_error& error);

 private:
  class pipeline_registration;

  void build_archive();
  void append_prepared(const archive_item& item,
                       const core::io::archivers::compressed_entry& entry);
  // An unchanged file too large to hold, streamed from disk and deflated by
  // zlib as it goes.
  void append_streamed(const archive_item& item);
  // Appends data, read from its start, as the entry; the bytes read.
  std::uint64_t stream_entry(const std::string& entry_name, std::streambuf& data);
  // Fails with code 9 once the archive written so far, and what is about to
  // follow, reach the limit.
  void check_size_limit(std::uint64_t coming = 0) const;
  void abort_work() noexcept override;
  void discard_archive();

  const std::shared_ptr<package_info> package_;
  const std::uint64_t size_limit_;
  const unsigned workers_;
  // Guards the two pointers against cancel(), not the writes.
  std::mutex output_mutex_;
  std::unique_ptr<core::io::archivers::zip_compress> archive_;
  entry_pipeline* pipeline_ = nullptr;
  unique_entry_names entry_names_;
};

}  // namespace parvel
