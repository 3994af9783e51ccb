#include "tests/engine/jobs/photo_upload_fixture.hpp"

#include <cstdlib>

#include "engine/app/application.hpp"
#include "tests/engine/jobs/archive_fixture.hpp"
#include "tests/service/test_tools.hpp"

namespace test_support {

namespace {

const std::string open_entry =
    R"(<?xml version="1.0" encoding="utf-8"?><entry xmlns="http://www.w3.org/2005/Atom" )"
    R"(xmlns:lm="http://www.lumbrel.example/xsd/desktop/1.0/desktop-atom-ext.xsd">)";

std::string category(const std::string& kind) {
  return R"(<category scheme="http://www.lumbrel.example/xsd/desktop/1.0/2009#kind" )"
         R"(term="http://www.lumbrel.example/xsd/desktop/1.0/2009#)" +
         kind + R"("/>)";
}

service::server::options tls_options() {
  service::server::options settings;
  settings.certificate_file = trusted_certificates().certificate_file();
  settings.private_key_file = trusted_certificates().key_file();
  return settings;
}

service::reply ok(const std::string& body) {
  service::reply r;
  r.body = body;
  return r;
}

}  // namespace

const test_certificates& trusted_certificates() {
  static const test_certificates made;
  static const bool trusted = setenv("SSL_CERT_FILE", made.ca_file().c_str(), 1) == 0;
  EXPECT_TRUE(trusted);
  return made;
}

std::string media_answer(const std::string& href) {
  return open_entry + "<id>urn:lumbrel:media:1</id><link rel=\"edit\" href=\"" + href + "\"/>" +
         category("media") + "<lm:media format=\"zip\" entries=\"1\"/></entry>";
}

std::string ticket_answer(const std::string& address) {
  return open_entry + category("ticket") + "<lm:ticket type=\"upload\">\n  " + address +
         "\n</lm:ticket></entry>";
}

std::string thumbnail_answer(const std::string& href) {
  return open_entry + "<link href=\"" + href + "\"/>" + category("thumbnail") +
         "<lm:resolution width=\"160\" height=\"120\"/></entry>";
}

std::string package_answer() {
  return open_entry + category("package") + "<lm:subject>accepted</lm:subject></entry>";
}

upload_test::upload_test()
    : server_(tls_options()),
      package_(std::make_shared<parvel::package_info>()),
      recorder_(the_controller()) {
  parvel::application::instance()->settings()->service_url = base();
  package_->sender = "anna@x.example";
  package_->recipients = {"bob@y.example", "carl@z.example"};
  package_->subject = "Holiday";
  package_->message = "Pictures";
  package_->make_archive_name();
}

upload_test::~upload_test() {
  server_.stop();
  package_->remove_archive();
  const auto& settings = parvel::application::instance()->settings();
  settings->service_url.clear();
  settings->culture.clear();
}

std::string upload_test::base() const {
  return server_.base_url() + "/desktopserver";
}

void upload_test::script_service() {
  const std::string root = server_.base_url();
  answer("POST", upload_paths::media, ok(media_answer(base() + "/media/1")));
  answer("POST", upload_paths::ticket, ok(ticket_answer(root + upload_paths::archive)));
  answer("PUT", upload_paths::archive, ok(""));
  answer("POST", upload_paths::thumbnail, ok(thumbnail_answer(base() + "/thumbnails/1")));
  answer("POST", upload_paths::thumbnail_ticket,
         ok(ticket_answer(root + upload_paths::thumbnail_jpeg)));
  answer("PUT", upload_paths::thumbnail_jpeg, ok(""));
  answer("POST", upload_paths::package, ok(package_answer()));
}

void upload_test::answer(const std::string& method, const std::string& path,
                         const service::reply& reply) {
  server_.add_route(method, path, reply);
}

std::string upload_test::add_photo(const std::string& name, const std::string& bytes) {
  const std::string path = folder_.file(name);
  write_file(path, bytes);
  package_->add_entries({parvel::photo_entry{path}});
  return path;
}

void upload_test::write_archive(const std::string& bytes) {
  write_file(package_->archive_path(), bytes);
  package_->archived = true;
}

void upload_test::send() {
  the_controller().start_photo_upload(package_);
  ASSERT_TRUE(recorder_.wait_for_end());
}

std::vector<std::string> upload_test::request_lines() const {
  std::vector<std::string> lines;
  for (const auto& request : server_.requests()) {
    lines.push_back(request.method + " " + request.target);
  }
  return lines;
}

std::vector<service::received_request> upload_test::requests_to(const std::string& path) const {
  std::vector<service::received_request> found;
  for (const auto& request : server_.requests()) {
    if (request.target == path) {
      found.push_back(request);
    }
  }
  return found;
}

}  // namespace test_support
