// Downloads one installer with the engine's update download job from the
// address given, into the private temporary folder ($TMPDIR), and removes it
// again. Fails unless the job succeeds.
#include <filesystem>
#include <iostream>
#include <string>

#include "bench/support/warnings_log.hpp"
#include "engine/jobs/update_download.hpp"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: bench_download_job INSTALLER_URL\n";
    return 2;
  }
  bench::log_warnings_to_stderr();
  std::string saved;
  {
    parvel::update_download job(argv[1]);
    job.signal_succeeded.connect([&](const std::string& path) { saved = path; });
    job.run();
  }
  if (saved.empty()) {
    return 1;
  }
  std::filesystem::remove(saved);
}
