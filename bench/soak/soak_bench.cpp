// soak_bench generate FOLDER COUNT
//   writes COUNT photo-like JPEGs of 2 to 8 MB (3300 to 6700 pixels wide)
//   into FOLDER.
// soak_bench SERVICE_BASE SERVICE_DATA SENDS PHOTO...
//   runs SENDS sends one after another in this one process, as the program
//   makes them: the archive job through the controller, on its success the
//   upload job, to the stand-in service at SERVICE_BASE (whose data folder is
//   SERVICE_DATA; SSL_CERT_FILE names its authority). Send i takes 10 to 20
//   of the photos and one of four options in turn: unchanged, resized into
//   1920 x 1080, converted to JPEG, converted to PNG and resized into
//   1280 x 1024. After each send, once its jobs have ended, prints a row:
//   the resident memory, the peak so far, descriptors, threads and what the
//   allocator holds, and at the end each of its arenas on standard error; fails unless every send
//   succeeded and the service kept the very archive sent.
#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "bench/support/photo_like.hpp"
#include "bench/support/process_status.hpp"
#include "bench/support/warnings_log.hpp"
#include "core/graphics/gdip/gdiplus_startup.hpp"
#include "engine/app/application.hpp"
#include "engine/controller/controller.hpp"
#include "engine/controller/job_dispatch.hpp"
#include "engine/options/convert_option_manager.hpp"
#include "engine/options/resize_option_manager.hpp"
#include "engine/photos/package_info.hpp"

namespace {

namespace fs = std::filesystem;

void generate(const fs::path& folder, int count) {
  fs::create_directories(folder);
  for (int i = 0; i < count; ++i) {
    // Widths in steps across the range, 3:2, so that the files span 2 to 8 MB.
    const int width = 3300 + (i * 397) % 3400;
    bench::write_photo_like((folder / ("IMG_" + std::to_string(2000 + i) + ".jpg")).string(), width,
                            width * 2 / 3, i);
  }
}

struct send_mix {
  const char* name;
  int format;
  parvel::photo_resize_option resize;
};

const send_mix mixes[] = {
    {"unchanged", parvel::convert_keep, {}},
    {"resized", parvel::convert_keep, {parvel::resize_custom, 1920, 1080}},
    {"to JPEG", parvel::convert_jpeg, {}},
    {"to PNG, resized", parvel::convert_png, {parvel::resize_custom, 1280, 1024}},
};

// The outcome of each job, relayed by the controller on the job's thread.
class send_waiter {
 public:
  explicit send_waiter(parvel::controller& controller) {
    controller.on_photo_archive_succeeded.connect(
        [this](const auto&) { end("archive succeeded"); });
    controller.on_photo_archive_failed.connect(
        [this](const parvel::parvel_error& e) { end(std::string("archive failed: ") + e.what()); });
    controller.on_photo_archive_canceled.connect([this] { end("archive canceled"); });
    controller.on_photo_upload_succeeded.connect([this] { end("upload succeeded"); });
    controller.on_photo_upload_failed.connect(
        [this](const parvel::parvel_error& e) { end(std::string("upload failed: ") + e.what()); });
    controller.on_photo_upload_canceled.connect([this] { end("upload canceled"); });
  }

  std::string wait() {
    std::unique_lock lock(mutex_);
    if (!ended_.wait_for(lock, std::chrono::minutes(10), [this] { return outcome_.has_value(); })) {
      return "no outcome within 10 minutes";
    }
    std::string outcome = std::move(*outcome_);
    outcome_.reset();
    return outcome;
  }

 private:
  void end(std::string outcome) {
    {
      const std::lock_guard lock(mutex_);
      outcome_ = std::move(outcome);
    }
    ended_.notify_all();
  }

  std::mutex mutex_;
  std::condition_variable ended_;
  std::optional<std::string> outcome_;
};

// Compared a piece at a time: the bench must not add the archive's size to
// the memory it measures.
bool same_bytes(const fs::path& a, const fs::path& b) {
  std::ifstream left(a, std::ios::binary);
  std::ifstream right(b, std::ios::binary);
  std::vector<char> x(1 << 16);
  std::vector<char> y(1 << 16);
  while (left && right) {
    left.read(x.data(), static_cast<std::streamsize>(x.size()));
    right.read(y.data(), static_cast<std::streamsize>(y.size()));
    if (left.gcount() != right.gcount() ||
        !std::equal(x.begin(), x.begin() + left.gcount(), y.begin())) {
      return false;
    }
  }
  return left.eof() && right.eof();
}

// Whether the one archive the service holds is the one sent; it is removed
// then, since fifty sends would fill the disk.
bool service_kept(const fs::path& data, const fs::path& sent) {
  bool same = false;
  for (const auto& media : fs::directory_iterator(data)) {
    const fs::path archive = media.path() / "archive.zip";
    if (fs::exists(archive)) {
      same = same_bytes(archive, sent);
      fs::remove(archive);
    }
  }
  return same;
}

std::size_t count_entries(const char* folder) {
  std::error_code error;
  const auto entries = fs::directory_iterator(folder, error);
  return error ? 0 : static_cast<std::size_t>(std::distance(entries, fs::directory_iterator()));
}

double mib(double bytes) {
  return bytes / (1024.0 * 1024.0);
}

int soak(const std::string& base, const fs::path& data, int sends,
         const std::vector<std::string>& photos) {
  const core::graphics::gdip::gdiplus_startup startup;
  parvel::application::instance()->settings()->service_url = base;
  auto& controller = *parvel::application::instance()->controller();
  send_waiter waiter(controller);

  std::printf("%4s %-16s %6s %8s %7s %8s %8s %4s %7s %9s %9s\n", "send", "options", "photos",
              "MB sent", "seconds", "RSS MiB", "peak MiB", "fds", "threads", "heap MiB",
              "used MiB");
  std::fflush(stdout);
  for (int i = 0; i < sends; ++i) {
    const send_mix& mix = mixes[i % std::size(mixes)];
    parvel::convert_option_manager::instance()->set_current(
        parvel::photo_convert_option(mix.format));
    parvel::resize_option_manager::instance()->set_current(mix.resize);

    auto package = std::make_shared<parvel::package_info>();
    package->sender = "soak@lumbrel.example";
    package->recipients = {"reader@lumbrel.example", "other@lumbrel.example"};
    package->subject = "Soak " + std::to_string(i + 1);
    package->message = "One of many sends";
    package->counter = i;
    package->make_archive_name();
    const std::size_t count = 10 + static_cast<std::size_t>(i * 7) % 11;
    std::vector<parvel::photo_entry> entries;
    for (std::size_t k = 0; k < count; ++k) {
      entries.push_back(
          parvel::photo_entry{photos[(static_cast<std::size_t>(i) * 13 + k) % photos.size()]});
    }
    package->add_entries(entries);

    const auto start = std::chrono::steady_clock::now();
    controller.start_photo_archive(package);
    std::string outcome = waiter.wait();
    if (outcome == "archive succeeded") {
      controller.start_photo_upload(package);
      outcome = waiter.wait();
    }
    // The jobs have reported; their threads end and are joined here.
    if (!parvel::cancel_all_jobs_and_wait(std::chrono::minutes(1))) {
      outcome = "jobs did not end";
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (outcome != "upload succeeded") {
      std::fprintf(stderr, "send %d: %s\n", i + 1, outcome.c_str());
      return 1;
    }
    const auto sent = fs::file_size(package->archive_path());
    if (!service_kept(data, package->archive_path())) {
      std::fprintf(stderr, "send %d: the service kept another archive than the one sent\n", i + 1);
      return 1;
    }
    package->remove_archive();

    const struct mallinfo2 heap = mallinfo2();
    std::printf("%4d %-16s %6zu %8.1f %7.2f %8.1f %8.1f %4zu %7zu %9.1f %9.1f\n", i + 1, mix.name,
                count, mib(static_cast<double>(sent)), seconds,
                static_cast<double>(bench::process_status_kib("VmRSS:")) / 1024.0,
                static_cast<double>(bench::process_status_kib("VmHWM:")) / 1024.0,
                count_entries("/proc/self/fd"), count_entries("/proc/self/task"),
                mib(static_cast<double>(heap.arena + heap.hblkhd)),
                mib(static_cast<double>(heap.uordblks + heap.hblkhd)));
    std::fflush(stdout);
  }
  // Each arena's system and in-use bytes, on standard error.
  malloc_stats();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string first = argc > 1 ? argv[1] : "";
  if (first == "generate" && argc == 4) {
    const core::graphics::gdip::gdiplus_startup startup;
    generate(argv[2], std::atoi(argv[3]));
    return 0;
  }
  if (argc < 5) {
    std::fprintf(stderr,
                 "usage: soak_bench generate FOLDER COUNT\n"
                 "       soak_bench SERVICE_BASE SERVICE_DATA SENDS PHOTO...\n");
    return 2;
  }
  bench::log_warnings_to_stderr();
  try {
    return soak(argv[1], argv[2], std::atoi(argv[3]), {argv + 4, argv + argc});
  } catch (const std::exception& e) {
    std::fprintf(stderr, "soak_bench: %s\n", e.what());
    return 1;
  }
}
