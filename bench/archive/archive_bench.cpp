// archive_bench WORKERS WIDTHxHEIGHT|.EXTENSION|- FILE...
//   runs the archive job on the files with WORKERS photos prepared at once (1:
//   each photo in turn), resizing into the box, converting each photo at its
//   size into the format of the extension, or storing every file unchanged
//   ("-"), and prints the archive's path. The archive goes to the temporary
//   folder ($TMPDIR). With ARCHIVE_CANCEL_AFTER=SECONDS the job is canceled
//   that long after it starts zipping, and the seconds from the cancel to the
//   job's end are printed instead ("canceled in ...").
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <memory>
#include <string>
#include <thread>

#include "core/graphics/gdip/gdiplus_startup.hpp"
#include "core/graphics/image_format.hpp"
#include "core/large_blocks.hpp"
#include "engine/jobs/photo_archive.hpp"
#include "engine/options/convert_option_manager.hpp"
#include "engine/options/resize_option_manager.hpp"
#include "engine/photos/package_info.hpp"

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: archive_bench WORKERS WIDTHxHEIGHT|.EXTENSION|- FILE...\n");
    return 2;
  }
  // As the program's application object does before any job.
  core::map_large_blocks();
  const core::graphics::gdip::gdiplus_startup startup;
  const std::string box = argv[2];
  if (box.starts_with('.')) {
    parvel::convert_option_manager::instance()->set_current(
        parvel::photo_convert_option(core::graphics::image_format_from_extension(box)));
  } else if (box != "-") {
    const auto x = box.find('x');
    parvel::resize_option_manager::instance()->set_current(
        {1, static_cast<std::uint32_t>(std::stoul(box.substr(0, x))),
         static_cast<std::uint32_t>(std::stoul(box.substr(x + 1)))});
  }
  auto package = std::make_shared<parvel::package_info>();
  package->sender = "bench@lumbrel.example";
  package->make_archive_name();
  for (int i = 3; i < argc; ++i) {
    package->add_entries({parvel::photo_entry{argv[i]}});
  }

  const auto workers = static_cast<unsigned>(std::stoul(argv[1]));
  auto job = std::make_shared<parvel::photo_archive>(
      package, parvel::photo_archive::default_size_limit, workers);
  bool succeeded = false;
  job->signal_succeeded.connect([&](const auto&) { succeeded = true; });
  job->signal_failed.connect(
      [](const parvel::parvel_error& e) { std::fprintf(stderr, "failed: %s\n", e.what()); });
  const char* cancel_after = std::getenv("ARCHIVE_CANCEL_AFTER");
  if (cancel_after != nullptr) {
    using clock = std::chrono::steady_clock;
    std::promise<void> zipping;
    job->signal_status.connect([&](parvel::parvel_code::parvel_code code) {
      if (code == parvel::parvel_code::send_zipping) {
        zipping.set_value();
      }
    });
    bool canceled = false;
    job->signal_canceled.connect([&] { canceled = true; });
    clock::time_point asked;
    std::thread canceler([&, started = zipping.get_future()] {
      started.wait();
      std::this_thread::sleep_for(std::chrono::duration<double>(std::stod(cancel_after)));
      asked = clock::now();
      job->cancel();
    });
    job->run();
    const clock::time_point ended = clock::now();
    canceler.join();
    if (!canceled) {
      return 1;
    }
    std::printf("canceled in %.3f s\n", std::chrono::duration<double>(ended - asked).count());
    return 0;
  }
  job->run();
  if (!succeeded) {
    return 1;
  }
  std::printf("%s\n", package->archive_path().c_str());
  return 0;
}
