#include "tests/engine/road/send_road_fixture.hpp"

#include <chrono>
#include <cstdlib>
#include <filesystem>

#include "core/io/filesystem/file_sink.hpp"
#include "core/settings/registry.hpp"
#include "engine/app/application.hpp"
#include "engine/controller/job_dispatch.hpp"
#include "engine/errors/parvel_error.hpp"
#include "engine/photos/package_info.hpp"
#include "tests/service/test_tools.hpp"

namespace test_support {

namespace {

namespace fs = std::filesystem;

service::web_service::options service_options(const fs::path& data) {
  service::web_service::options settings;
  settings.http.certificate_file = trusted_certificates().certificate_file();
  settings.http.private_key_file = trusted_certificates().key_file();
  settings.data_folder = data;
  return settings;
}

// Points the program at the service through its settings file, then reads it.
void use_service(const std::string& base) {
  const auto& settings = parvel::application::instance()->settings();
  const fs::path file = core::user_settings_path(settings->key_name(), "");
  fs::create_directories(file.parent_path());
  write_file(file.string(), "ServiceUrl=" + base + "\n");
  settings->load();
  EXPECT_EQ(settings->service_url, base);
}

}  // namespace

const test_certificates& trusted_certificates() {
  static const test_certificates made;
  static const bool trusted = setenv("SSL_CERT_FILE", made.ca_file().c_str(), 1) == 0;
  EXPECT_TRUE(trusted);
  return made;
}

std::string upload_failed(int code) {
  return "upload_failed:" + std::to_string(code) + ":" + parvel::parvel_error(code).what();
}

send_road::send_road() : service_(service_options(data_.path())) {
  use_service(service_.base_url());
  // As the add-photos page commits its form.
  package_->sender = "anna@x.example";
  package_->recipients = {"bob@y.example", "carl@z.example"};
  package_->subject = "Sun & sea <3 ]]> done";
  package_->message = "Line one\nLine two";
  package_->make_archive_name();
}

send_road::~send_road() {
  // The jobs have told how they ended; their threads are joined here, so that
  // none outlives the test into the libraries' clean-up at exit.
  parvel::cancel_all_jobs_and_wait(std::chrono::seconds(30));
  service_.stop();
  package_->reset();
  const auto& settings = parvel::application::instance()->settings();
  settings->service_url.clear();
  settings->culture.clear();
}

void send_road::write_archive(const std::string& bytes) {
  // Made by the set, as the archive job makes it, so that the set removes it.
  package_->create_archive_file();
  write_file(package_->archive_path(), bytes);
  package_->keep_archive_stamp(
      parvel::stamp_of(package_->archive_path(), "the archive " + package_->archive_path()));
  package_->archived = true;
}

void send_road::send() {
  archive();
  if (recorder_.outcome() == "succeeded") {
    upload();
  }
}

void send_road::upload() {
  the_controller().start_photo_upload(package_);
  ASSERT_TRUE(recorder_.wait_for_end());
}

std::size_t send_road::received(service::step kind) const {
  return service_.requests(kind).size();
}

}  // namespace test_support
