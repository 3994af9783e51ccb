#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/controller/controller.hpp"
#include "engine/photos/package_info.hpp"
#include "tests/engine/jobs/send_recorder.hpp"
#include "tests/support/temp_folder.hpp"
#include "tools/service/server.hpp"

namespace test_support {

// Where the scripted service takes each request of a send, below its base.
namespace upload_paths {
inline constexpr char media[] = "/desktopserver/atom/1.0/media/";
inline constexpr char ticket[] = "/desktopserver/media/1/uploadticket/";
inline constexpr char archive[] = "/desktopserver/archives/1";
inline constexpr char thumbnail[] = "/desktopserver/media/1/thumbnail/";
inline constexpr char thumbnail_ticket[] = "/desktopserver/thumbnails/1/uploadticket/";
inline constexpr char thumbnail_jpeg[] = "/desktopserver/thumbnails/1/jpeg";
inline constexpr char package[] = "/desktopserver/atom/1.0/package/";
}  // namespace upload_paths

class test_certificates;

// One certificate authority for the whole test process, trusted through
// SSL_CERT_FILE from the first call on: call it before any job runs.
const test_certificates& trusted_certificates();

// The service's answers, written out by hand rather than by our writers.
std::string media_answer(const std::string& href);
std::string ticket_answer(const std::string& address);
std::string thumbnail_answer(const std::string& href);
std::string package_answer();

// A photo set with its archive in place, sent through the controller to a
// scripted service over HTTPS with a test certificate authority.
class upload_test : public testing::Test {
 protected:
  upload_test();
  ~upload_test() override;

  // The service address the job is given.
  std::string base() const;
  // Routes answering every request of a send as the service does.
  void script_service();
  // Replaces one route's answer.
  void answer(const std::string& method, const std::string& path, const service::reply& reply);
  // Adds a file holding bytes to the set; its path.
  std::string add_photo(const std::string& name, const std::string& bytes);
  void write_archive(const std::string& bytes);
  // Runs the upload job through the controller and waits for its end.
  void send();
  // "METHOD target" of each request the service received, in order.
  std::vector<std::string> request_lines() const;
  // The requests received for one path.
  std::vector<service::received_request> requests_to(const std::string& path) const;

  temp_folder folder_;
  service::server server_;
  std::shared_ptr<parvel::package_info> package_;
  send_recorder recorder_;
};

}  // namespace test_support
