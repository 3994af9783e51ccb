// Sends one archive with the engine's upload job to the stand-in service
// given by its base address: media entry, ticket, the archive streamed from
// its file, and the package entry. Fails unless the job succeeds. The
// archive is hard-linked into the job's temporary folder, so TMPDIR must be
// on the archive's file system.
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>

#include "bench/support/warnings_log.hpp"
#include "engine/app/application.hpp"
#include "engine/jobs/photo_upload.hpp"
#include "engine/photos/package_info.hpp"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: bench_upload_job SERVICE_BASE ARCHIVE\n";
    return 2;
  }
  bench::log_warnings_to_stderr();
  try {
    parvel::application::instance()->settings()->service_url = argv[1];
    const auto package = std::make_shared<parvel::package_info>();
    package->sender = "bench@lumbrel.example";
    package->recipients = {"reader@lumbrel.example"};
    package->subject = "Upload benchmark";
    package->make_archive_name();
    std::filesystem::create_hard_link(argv[2], package->archive_path());
    // As the archive job leaves it: the upload sends only the archive as built.
    package->keep_archive_stamp(
        parvel::stamp_of(package->archive_path(), "the archive " + package->archive_path()));

    std::string outcome = "the job did not end";
    {
      parvel::photo_upload job(package);
      job.signal_succeeded.connect([&] { outcome.clear(); });
      job.signal_failed.connect([&](const parvel::parvel_error& e) { outcome = e.what(); });
      job.signal_canceled.connect([&] { outcome = "canceled"; });
      job.run();
    }
    package->remove_archive();
    if (!outcome.empty()) {
      std::cerr << outcome << '\n';
      return 1;
    }
  } catch (const std::exception& e) {
    std::cerr << e.what() << '\n';
    return 1;
  }
}
