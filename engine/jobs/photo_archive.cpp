#include "engine/jobs/photo_archive.hpp"

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "core/graphics/gdip/batch/gdiplus_image_open_file.hpp"
#include "core/graphics/gdip/batch/gdiplus_image_resize.hpp"
#include "core/graphics/gdip/batch/gdiplus_image_save_stream.hpp"
#include "core/graphics/image_format.hpp"
#include "core/io/archivers/zip_compress.hpp"
#include "core/log/logger.hpp"
#include "engine/options/convert_option_manager.hpp"
#include "engine/options/resize_option_manager.hpp"
#include "engine/photos/package_info.hpp"
#include "engine/photos/safe_file_name.hpp"

namespace parvel {

namespace {

namespace fs = std::filesystem;
namespace batch = core::graphics::gdip::batch;
namespace formats = core::graphics::image_formats;

// Ends a run that was asked to stop between its steps.
struct run_canceled {};

}  // namespace

photo_archive::photo_archive(std::shared_ptr<package_info> package, std::uint64_t size_limit)
    : async_req("photo_archive"), package_(std::move(package)), size_limit_(size_limit) {}

photo_archive::~photo_archive() = default;

void photo_archive::run() {
  try {
    build_archive();
    return;
  } catch (const run_canceled&) {
    core::log::write(core::log::severity::info, "photo_archive canceled");
    discard_archive();
    signal_canceled();
    return;
  } catch (const parvel_error& e) {
    core::log::write(core::log::severity::error, "photo_archive failed: parvel code: %#x, '%s'",
                     static_cast<int>(e.code()), e.what());
    discard_archive();
    report_failure(e);
  } catch (const std::exception& e) {
    core::log::write(core::log::severity::error, "photo_archive failed: '%s'", e.what());
    discard_archive();
    report_failure(parvel_error(parvel_code::zip_error_generic));
  }
}

void photo_archive::cancel() {
  canceled_ = true;
  std::lock_guard lock(archive_mutex_);
  if (archive_) {
    archive_->abort();
  }
}

void photo_archive::report_failure(const parvel_error& error) {
  if (canceled_) {
    signal_canceled();
  } else {
    signal_failed(error);
  }
}

void photo_archive::throw_if_canceled() const {
  if (canceled_) {
    throw run_canceled();
  }
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
    auto archive = std::make_unique<core::io::archivers::zip_compress>(package_->archive_path());
    std::lock_guard lock(archive_mutex_);
    archive_ = std::move(archive);
  }
  // A copy: the page may change the set while the job walks it.
  std::vector<photo_entry> photos = package_->photos();
  std::uint64_t total = 0;
  for (photo_entry& photo : photos) {
    total += photo.file_size();
  }
  std::uint64_t done = 0;
  for (photo_entry& photo : photos) {
    throw_if_canceled();
    append_photo(photo);
    done += photo.file_size();
    signal_progress(done, total);
  }
  throw_if_canceled();
  archive_->close();

  std::error_code error;
  const std::uint64_t size = fs::file_size(package_->archive_path(), error);
  if (error) {
    throw fs::filesystem_error("cannot read the archive's size", package_->archive_path(), error);
  }
  if (size >= size_limit_) {
    throw parvel_error(parvel_code::zip_error_4GB_limit);
  }
  {
    std::lock_guard lock(archive_mutex_);
    archive_.reset();
  }
  throw_if_canceled();
  package_->archived = true;
  signal_succeeded(package_);
}

void photo_archive::append_photo(photo_entry& photo) {
  if (!fs::exists(photo.path)) {
    throw parvel_error(parvel_code::zip_error_file_not_found, photo.path);
  }
  fs::path name_path = photo.path;
  if (!photo.target_name.empty()) {
    name_path.replace_filename(photo.target_name);
  }
  const core::graphics::image_format format =
      core::graphics::image_format_from_extension(name_path.extension().string());
  const photo_convert_option convert = convert_option_manager::instance()->current();
  const photo_resize_option resize = resize_option_manager::instance()->current();

  if (format == formats::psd || format == formats::raw ||
      (convert.format == 0 && resize.kind == 0)) {
    const std::string entry =
        entry_names_.make_unique(safe_file_name(name_path.filename().string()));
    std::ifstream source(photo.path, std::ios::binary);
    if (!source) {
      throw std::runtime_error("File not found.");
    }
    core::io::archivers::append_stream(entry, source, *archive_);
    return;
  }

  if (convert.format != 0) {
    name_path.replace_extension(core::graphics::image_format_default_extension(convert.format));
  }
  const std::string entry = entry_names_.make_unique(safe_file_name(name_path.filename().string()));
  batch::gdiplus_image_open_file open(photo.path);
  std::unique_ptr<batch::gdiplus_image_resize> resized;
  if (resize.kind != 0) {
    resized = std::make_unique<batch::gdiplus_image_resize>(
        &open, resize.width, resize.height, core::graphics::bicubic,
        core::graphics::fit_size | core::graphics::no_enlarge | core::graphics::match_orientation);
  }
  batch::gdiplus_image_unit* last =
      resized ? static_cast<batch::gdiplus_image_unit*>(resized.get()) : &open;
  batch::gdiplus_image_save_stream save(last, entry, convert.params);
  save.run();
  save.stream().seekg(0);
  core::io::archivers::append_stream(entry, save.stream(), *archive_);
}

void photo_archive::discard_archive() {
  {
    std::lock_guard lock(archive_mutex_);
    archive_.reset();
  }
  std::error_code ignored;
  fs::remove(package_->archive_path(), ignored);
}

}  // namespace parvel
