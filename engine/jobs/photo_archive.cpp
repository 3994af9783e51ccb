#include "engine/jobs/photo_archive.hpp"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <thread>

#include "core/free_memory.hpp"
#include "core/graphics/gdip/batch/gdiplus_image_open_file.hpp"
#include "core/graphics/gdip/batch/gdiplus_image_resize.hpp"
#include "core/graphics/gdip/batch/gdiplus_image_save_stream.hpp"
#include "core/graphics/gdip/conversion_memory.hpp"
#include "core/graphics/gdip/image_threads.hpp"
#include "core/graphics/image_format.hpp"
#include "core/io/archivers/zip_compress.hpp"
#include "core/io/archivers/zip_compressed_entry.hpp"
#include "core/io/filesystem/file_sink.hpp"
#include "core/io/filesystem/input_file.hpp"
#include "core/io/spooled_buffer.hpp"
#include "core/io/stream_failure.hpp"
#include "core/log/logger.hpp"
#include "core/system_error.hpp"
#include "engine/jobs/archive_item.hpp"
#include "engine/jobs/counted_source.hpp"
#include "engine/jobs/entry_pipeline.hpp"
#include "engine/jobs/read_as_planned.hpp"
#include "engine/photos/file_stamp.hpp"
#include "engine/photos/package_info.hpp"
#include "engine/rename/file_name_parts.hpp"

namespace parvel {

namespace {

namespace fs = std::filesystem;
namespace archivers = core::io::archivers;
namespace batch = core::graphics::gdip::batch;
namespace gdip = core::graphics::gdip;

constexpr std::uint64_t mib = std::uint64_t{1} << 20;
// Larger unchanged files are streamed from disk at their turn, never held;
// a larger converted photo is encoded into a file, then streamed the same way.
constexpr std::uint64_t largest_in_memory = 64 * mib;
// What the photos being prepared or waiting to be written may hold at once.
// With the program's own 35 MB and the allocator's slack a send stays under
// 300 MB: measured up to 281 MiB on unchanged 5 MB files, 215 MiB on 24 MP
// conversions.
constexpr std::uint64_t pipeline_budget = 192 * mib;
// The imaging library's working memory for one photo converted on one
// thread, beyond what the photo's decoder and encoded image hold: a 24 MP
// JPEG of 6 MB resized into 1920 x 1080 takes about 30 MiB in all, so six such
// photos convert at once. Eight gained nothing measurable, for 270 MiB.
constexpr std::uint64_t conversion_working_set = 16 * mib;
// The most of its encoded image that a photo converting alone holds in memory.
constexpr std::uint64_t largest_beside_alone = 16 * mib;

constexpr std::uint32_t resize_flags =
    core::graphics::fit_size | core::graphics::no_enlarge | core::graphics::match_orientation;

// The imaging library's threads for each photo while the job runs: while
// conversions run side by side, one each. A JPEG decoder is serial, so more
// threads a photo only add their buffers (50 MB a conversion with three,
// 32 MB with one, and no slower).
class imaging_threads_scope {
 public:
  explicit imaging_threads_scope(unsigned workers) : saved_(gdip::image_threads()) {
    if (workers > 1) {
      gdip::set_image_threads(1);
    }
  }
  ~imaging_threads_scope() { gdip::set_image_threads(saved_); }
  imaging_threads_scope(const imaging_threads_scope&) = delete;
  imaging_threads_scope& operator=(const imaging_threads_scope&) = delete;

 private:
  const unsigned saved_;
};

void check_exists(const archive_item& item) {
  if (!fs::exists(item.path)) {
    throw parvel_error(parvel_code::zip_error_file_not_found, item.path);
  }
}

// Opened close-on-exec, so that a program started meanwhile never holds it.
void open_source(const archive_item& item,
                 std::optional<core::io::filesystem::input_file>& source) {
  source.emplace(item.path);
  const int error = source->open_error();
  if (error == ENOENT || error == ENOTDIR) {
    throw std::runtime_error("File not found.");
  }
  if (error != 0) {
    // The user sees the same failure; the log names the cause.
    throw core::windows_system_error("cannot open the file '" + item.path + "'",
                                     static_cast<std::uint32_t>(error));
  }
}

// GIF and BMP carry no orientation: a photo stored turned is turned upright
// before it is resized, so that the box is matched to the photo as it is seen.
batch::orientation_tag orientation_of(const archive_item& item) {
  const core::graphics::image_format target =
      core::graphics::image_format_from_extension(split_at_last_dot(item.entry_name).extension);
  return core::graphics::image_format_carries_orientation(target) ? batch::orientation_tag::kept
                                                                  : batch::orientation_tag::applied;
}

// What converting the item holds, from its header; empty when the header
// cannot be read.
std::optional<gdip::conversion_memory> estimate_memory(const archive_item& item) {
  std::optional<core::graphics::image_size> box;
  if (item.conversion->resize.kind != resize_keep) {
    box = core::graphics::image_size{item.conversion->resize.width, item.conversion->resize.height};
  }
  return gdip::estimate_conversion_memory(item.path, box, resize_flags, item.entry_name);
}

// The most of a converted photo's encoded image held in memory; the rest goes
// to a file. A photo that converts alone, beyond the budget, leaves less room
// for it: a 48-megapixel progressive JPEG kept at its size then fits.
std::uint64_t largest_encoded_in_memory(const std::optional<gdip::conversion_memory>& memory) {
  return memory && conversion_working_set + memory->working > pipeline_budget ? largest_beside_alone
                                                                              : largest_in_memory;
}

// What converting a photo holds beside its decoder and the chain behind it:
// the imaging library's working set, and the encoded image beside its
// deflated form (a larger one goes to a file).
std::uint64_t held_beside(const gdip::conversion_memory& memory) {
  return conversion_working_set + 2 * std::min(memory.encoded, largest_encoded_in_memory(memory));
}

// The photo converted by the item's options, encoded into encoded; memory:
// what converting it holds, empty when its header cannot be read. Throws
// job_canceled once stop ends the conversion.
void convert_photo(const archive_item& item, const std::optional<gdip::conversion_memory>& memory,
                   core::io::spooled_buffer& encoded, const std::atomic<bool>& stop) {
  // Decoded as the encoder asks for its pixels: the reading ends with the encoding.
  read_as_planned(item.path, item.planned, stop, [&] {
    if (memory) {
      gdip::check_conversion_memory(item.path, *memory, held_beside(*memory));
    }
    batch::gdiplus_image_open_file open(item.path, orientation_of(item));
    std::unique_ptr<batch::gdiplus_image_resize> resized;
    if (item.conversion->resize.kind != resize_keep) {
      resized = std::make_unique<batch::gdiplus_image_resize>(
          &open, item.conversion->resize.width, item.conversion->resize.height,
          core::graphics::bicubic, resize_flags);
    }
    batch::gdiplus_image_unit* last =
        resized ? static_cast<batch::gdiplus_image_unit*>(resized.get()) : &open;
    std::ostream out(&encoded);
    batch::gdiplus_image_save_stream save(last, item.entry_name, item.conversion->params, out);
    try {
      save.run(stop);
    } catch (const std::exception&) {
      if (!stop && encoded.write_error() != 0) {
        throw core::io::stream_failure("cannot write the converted photo '" + item.path + "'",
                                       encoded.write_error());
      }
      throw;
    }
  });
}

std::string read_source(const archive_item& item) {
  std::string bytes;
  read_as_planned(item.path, item.planned, core::threading::never_stopped, [&] {
    std::optional<core::io::filesystem::input_file> source;
    open_source(item, source);
    bytes.resize(item.planned.size);
    if (!source->read(bytes.data(), static_cast<std::streamsize>(bytes.size()))) {
      throw core::io::stream_failure("bad read");
    }
  });
  return bytes;
}

// Converted photos, and unchanged files small enough to hold, are prepared
// before their turn; larger unchanged files are streamed at their turn.
bool prepared_ahead(const archive_item& item) {
  return item.conversion || item.planned.size <= largest_in_memory;
}

// What converting the item may hold at most, from its header: a photo larger
// than the budget waits until it converts alone, and the others wait for it.
std::uint64_t conversion_cost(const archive_item& item) {
  const std::optional<gdip::conversion_memory> memory = estimate_memory(item);
  if (!memory) {
    // The conversion fails at its turn; the source's size stands for it.
    return conversion_working_set + item.planned.size;
  }
  return memory->working + held_beside(*memory);
}

// What preparing the item may hold at most; 0 leaves it to the writer.
std::uint64_t preparation_cost(const archive_item& item) {
  if (item.conversion) {
    return conversion_cost(item);
  }
  if (!prepared_ahead(item)) {
    return 0;
  }
  // The source and its deflated form side by side.
  return 2 * item.planned.size;
}

// Empty, or job_canceled thrown, on a stop. spool_folder: where a converted
// photo too large to hold is encoded into a file.
std::optional<prepared_entry> prepare_entry(const archive_item& item,
                                            const std::string& spool_folder,
                                            const std::atomic<bool>& stop) {
  check_exists(item);
  prepared_entry prepared;
  if (item.conversion) {
    const std::optional<gdip::conversion_memory> memory = estimate_memory(item);
    auto encoded =
        std::make_unique<core::io::spooled_buffer>(spool_folder, largest_encoded_in_memory(memory));
    convert_photo(item, memory, *encoded, stop);
    // The imaging library frees its working memory into the allocator's
    // per-thread pools, where it would stay and add up across threads beyond
    // the budget: hand it back to the system.
    core::release_free_memory();
    if (stop) {
      return std::nullopt;
    }
    // Entries of a given size are deflated the same way, whatever their
    // source: the archive does not depend on the number of workers.
    if (encoded->in_file()) {
      prepared.spooled = std::move(encoded);
      return prepared;
    }
    prepared.compressed = archivers::compress_entry(encoded->take_bytes(), stop);
  } else {
    prepared.compressed = archivers::compress_entry(read_source(item), stop);
  }
  if (!prepared.compressed) {
    return std::nullopt;
  }
  return prepared;
}

}  // namespace

// Lets cancel() reach the pipeline while it runs.
class photo_archive::pipeline_registration {
 public:
  pipeline_registration(photo_archive& job, entry_pipeline* pipeline) : job_(job) {
    std::lock_guard lock(job_.output_mutex_);
    job_.pipeline_ = pipeline;
  }
  ~pipeline_registration() {
    std::lock_guard lock(job_.output_mutex_);
    job_.pipeline_ = nullptr;
  }
  pipeline_registration(const pipeline_registration&) = delete;
  pipeline_registration& operator=(const pipeline_registration&) = delete;

 private:
  photo_archive& job_;
};

unsigned photo_archive::default_workers() {
  return std::max(1U, std::thread::hardware_concurrency());
}

photo_archive::photo_archive(std::shared_ptr<package_info> package, std::uint64_t size_limit,
                             unsigned workers)
    : cancellable_job("photo_archive"),
      package_(std::move(package)),
      size_limit_(size_limit),
      workers_(std::max(1U, workers)) {}

photo_archive::~photo_archive() = default;

void photo_archive::run() {
  try {
    build_archive();
  } catch (const job_canceled&) {
    core::log::write(core::log::severity::info, "photo_archive canceled");
    discard_archive();
    signal_canceled();
    return;
  } catch (const parvel_error& e) {
    core::log::write(core::log::severity::error, "photo_archive failed: parvel code: %#x, '%s'",
                     static_cast<int>(e.code()), e.what());
    discard_archive();
    report_failure(e);
    return;
  } catch (const std::exception& e) {
    core::log::write(core::log::severity::error, "photo_archive failed: '%s'", e.what());
    discard_archive();
    report_failure(parvel_error(parvel_code::zip_error_generic));
    return;
  }
  // Outside the try: a slot's exception must neither add a second outcome
  // nor delete the archive just announced.
  signal_succeeded(package_);
}

void photo_archive::abort_work() noexcept {
  std::lock_guard lock(output_mutex_);
  if (pipeline_ != nullptr) {
    pipeline_->stop();
  }
  if (archive_) {
    archive_->abort();
  }
}

void photo_archive::report_failure(const parvel_error& error) {
  report_failure_to(signal_canceled, signal_failed, error);
}

void photo_archive::build_archive() {
  package_->archived = false;
  if (package_->photo_count() == 0) {
    throw std::runtime_error("Cannot create a zip archive. no files were included");
  }
  signal_status(parvel_code::send_renaming);
  package_->rename_all();
  signal_status(parvel_code::send_zipping);
  throw_if_canceled();

  {
    auto archive = std::make_unique<archivers::zip_compress>(package_->create_archive_file());
    std::lock_guard lock(output_mutex_);
    archive_ = std::move(archive);
  }
  // A copy: the page may change the set while the job walks it.
  std::vector<photo_entry> photos = package_->photos();
  // Each photo measured afresh: what the set knows may date from when it was added.
  const std::vector<archive_item> items = plan_archive_items(photos, entry_names_);
  std::uint64_t total = 0;
  for (const archive_item& item : items) {
    total += item.planned.size;
  }

  // Destroyed in reverse: unregistered, then stopped, before the items go;
  // the imaging threads are restored once the workers are gone.
  const imaging_threads_scope imaging_threads(workers_);
  std::optional<entry_pipeline> pipeline;
  if (workers_ > 1) {
    std::vector<std::uint64_t> costs;
    std::transform(items.begin(), items.end(), std::back_inserter(costs), preparation_cost);
    pipeline.emplace(std::move(costs), workers_, pipeline_budget,
                     [this, &items](std::size_t index, const std::atomic<bool>& stop) {
                       return prepare_entry(items[index], package_->temp_folder(), stop);
                     });
  }
  pipeline_registration registration(*this, pipeline ? &*pipeline : nullptr);

  std::uint64_t done = 0;
  for (std::size_t i = 0; i < items.size(); ++i) {
    throw_if_canceled();
    std::optional<prepared_entry> entry;
    if (pipeline) {
      entry = pipeline->take(i);
      throw_if_canceled();
    } else if (prepared_ahead(items[i])) {
      // As a worker would: the way an entry is deflated shows in its bytes,
      // and the archive must not depend on the number of workers.
      entry = prepare_entry(items[i], package_->temp_folder(), cancel_flag());
      throw_if_canceled();
    }
    if (entry) {
      if (entry->compressed) {
        append_prepared(items[i], *entry->compressed);
      } else if (stream_entry(items[i].entry_name, entry->spooled->file()) !=
                 entry->spooled->size()) {
        throw core::io::stream_failure("bad read");
      }
      // The spooled file goes with it.
      entry.reset();
      if (pipeline) {
        pipeline->release(i);
      }
    } else {
      append_streamed(items[i]);
    }
    done += items[i].planned.size;
    signal_progress(done, total);
  }
  throw_if_canceled();
  archive_->close();
  check_size_limit();
  {
    std::lock_guard lock(output_mutex_);
    archive_.reset();
  }
  throw_if_canceled();
  package_->keep_archive_stamp(
      stamp_of(package_->archive_path(), "the archive " + package_->archive_path()));
  package_->archived = true;
}

void photo_archive::check_size_limit(std::uint64_t coming) const {
  std::error_code error;
  const std::uint64_t size = fs::file_size(package_->archive_path(), error);
  if (error) {
    throw fs::filesystem_error("cannot read the archive's size", package_->archive_path(), error);
  }
  if (size >= size_limit_ || coming >= size_limit_ - size) {
    throw parvel_error(parvel_code::zip_error_4GB_limit);
  }
}

void photo_archive::append_prepared(const archive_item& item,
                                    const archivers::compressed_entry& entry) {
  check_size_limit(entry.data.size());
  archivers::append_compressed(item.entry_name, entry, *archive_);
}

void photo_archive::append_streamed(const archive_item& item) {
  check_exists(item);
  read_as_planned(item.path, item.planned, cancel_flag(), [&] {
    std::optional<core::io::filesystem::input_file> file;
    open_source(item, file);
    if (stream_entry(item.entry_name, *file->rdbuf()) != item.planned.size) {
      throw core::io::stream_failure("bad read");
    }
  });
}

std::uint64_t photo_archive::stream_entry(const std::string& entry_name, std::streambuf& data) {
  // Looks at the archive's size every few mebibytes, so that a selection
  // far beyond the limit stops there instead of filling the disk.
  bool over_limit = false;
  std::uint64_t next_look = 0;
  counted_source source(data, [&](std::uint64_t position) {
    if (position >= next_look) {
      next_look = position + 4 * mib;
      std::error_code error;
      over_limit = fs::file_size(package_->archive_path(), error) >= size_limit_;
    }
    return !over_limit;
  });
  std::istream stream(&source);
  archivers::append_stream(entry_name, stream, *archive_);
  if (over_limit) {
    throw parvel_error(parvel_code::zip_error_4GB_limit);
  }
  return source.position();
}

void photo_archive::discard_archive() {
  {
    std::lock_guard lock(output_mutex_);
    archive_.reset();
  }
  package_->remove_archive();
}

}  // namespace parvel
