#pragma once

#include <cstddef>
#include <string>

#include "tests/engine/jobs/archive_fixture.hpp"
#include "tools/service/web_service.hpp"

namespace test_support {

class test_certificates;

// One certificate authority for the whole test process, trusted through
// SSL_CERT_FILE from the first call on, before any job runs.
const test_certificates& trusted_certificates();

// "upload_failed:<code>:<its text>", as the recorder writes a failed upload.
std::string upload_failed(int code);

// One send as the program makes it: the archive job, then on its success the
// upload job, both through the controller, to the stand-in service over HTTPS.
// The settings file names the service, as on a local run. The set has a
// sender, two recipients, a subject and a message, and no photos yet.
class send_road : public archive_test {
 protected:
  send_road();
  ~send_road() override;

  // Puts an archive in place, as the archive job leaves it.
  void write_archive(const std::string& bytes);
  // Runs the archive job and, when it succeeds, the upload job; waits for each.
  void send();
  // Runs the upload job alone, as a retry does once the archive is made.
  void upload();
  // How many requests of a step the service has received.
  std::size_t received(service::step kind) const;

  temp_folder data_;
  service::web_service service_;
};

}  // namespace test_support
