#include "engine/controller/controller.hpp"
#include "engine/controller/job_dispatch.hpp"
#include "engine/jobs/photo_archive.hpp"
#include "engine/jobs/photo_upload.hpp"

namespace parvel {

void controller::start_photo_archive(const std::shared_ptr<package_info>& package) {
  auto job = std::make_shared<photo_archive>(package);
  job->signal_succeeded.connect([this](const auto& p) { handle_photo_archive_succeeded(p); });
  job->signal_progress.connect(
      [this](auto done, auto total) { handle_photo_archive_progress(done, total); });
  job->signal_failed.connect([this](const auto& error) { handle_photo_archive_failed(error); });
  job->signal_canceled.connect([this] { handle_photo_archive_canceled(); });
  job->signal_status.connect([this](auto code) { handle_send_progress_message(code); });
  submit_job(job);
}

void controller::cancel_photo_archive() {
  cancel_jobs("photo_archive");
}

void controller::start_photo_upload(const std::shared_ptr<package_info>& package) {
  auto job = std::make_shared<photo_upload>(package);
  job->signal_preparing.connect([this] { handle_photo_upload_preparing(); });
  job->signal_succeeded.connect([this] { handle_photo_upload_succeeded(); });
  job->signal_progress.connect([this](auto sent, auto total, auto through_proxy) {
    handle_photo_upload_progress(sent, total, through_proxy);
  });
  job->signal_failed.connect([this](const auto& error) { handle_photo_upload_failed(error); });
  job->signal_canceled.connect([this] { handle_photo_upload_canceled(); });
  job->signal_status.connect([this](auto code) { handle_send_progress_message(code); });
  submit_job(job);
}

void controller::cancel_photo_upload() {
  cancel_jobs("photo_upload");
}

}  // namespace parvel
