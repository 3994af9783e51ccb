#include "engine/controller/controller.hpp"
#include "engine/controller/job_dispatch.hpp"
#include "engine/jobs/update_check.hpp"
#include "engine/jobs/update_download.hpp"
#include "engine/jobs/update_install.hpp"

namespace parvel {

void controller::start_update_check() {
  auto job = std::make_shared<update_check>();
  job->signal_succeeded.connect([this](bool newer, const auto& enclosure) {
    handle_update_check_succeeded(newer, enclosure);
  });
  job->signal_failed.connect([this] { handle_update_check_failed(); });
  submit_job(job);
}

void controller::start_update_download(const std::string& url, std::uint64_t length) {
  auto job = std::make_shared<update_download>(url, length);
  job->signal_succeeded.connect(
      [this](const auto& path) { handle_update_download_succeeded(path); });
  job->signal_failed.connect([this] { handle_update_download_failed(); });
  job->signal_progress.connect(
      [this](auto received, auto total) { handle_update_download_progress(received, total); });
  submit_job(job);
}

void controller::cancel_update_download() {
  cancel_jobs("update_download");
}

void controller::start_update_install(const std::string& path) {
  auto job = std::make_shared<update_install>(path);
  job->signal_succeeded.connect([this] { handle_update_install_succeeded(); });
  job->signal_failed.connect([this] { handle_update_install_failed(); });
  submit_job(job);
}

}  // namespace parvel
