#include "engine/jobs/photo_upload.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <boost/algorithm/string/replace.hpp>

#include "engine/app/application.hpp"
#include "engine/errors/parvel_error.hpp"
#include "tests/engine/jobs/archive_fixture.hpp"
#include "tests/engine/jobs/photo_upload_fixture.hpp"
#include "tests/support/log_capture.hpp"
#include "tests/support/table.hpp"

namespace {

namespace paths = test_support::upload_paths;
using strings = std::vector<std::string>;
using test_support::random_bytes;

const strings whole_send = {
    std::string("POST ") + paths::media, std::string("POST ") + paths::ticket,
    std::string("PUT ") + paths::archive, std::string("POST ") + paths::package};

std::string failed(int code) {
  return "upload_failed:" + std::to_string(code) + ":" + parvel::parvel_error(code).what();
}

bool logged(const test_support::log_capture& capture, const std::string& line) {
  const auto lines = capture.lines();
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// Photos without thumbnails, so that these runs use no imaging.
class photo_upload_run : public test_support::upload_test {
 protected:
  photo_upload_run() {
    add_photo("a.psd", random_bytes(100, 1));
    add_photo("b.NEF", random_bytes(100, 2));
  }
};

TEST_F(photo_upload_run, sends_media_ticket_archive_and_package) {
  script_service();
  const std::string archive = random_bytes(40000, 3);
  write_archive(archive);
  send();

  EXPECT_EQ(request_lines(), whole_send);
  const auto media = requests_to(paths::media).at(0);
  EXPECT_EQ(media.header("Content-Type"), "application/atom+xml");
  EXPECT_EQ(
      media.body,
      R"(<?xml version="1.0" encoding="utf-8" ?><atom:entry xmlns:atom="http://www.w3.org/2005/Atom">)"
      R"(<atom:category scheme="http://www.lumbrel.example/xsd/desktop/1.0/2009#kind" )"
      R"(term="http://www.lumbrel.example/xsd/desktop/1.0/2009#media"/>)"
      R"(<lm:media xmlns:lm="http://www.lumbrel.example/xsd/desktop/1.0/desktop-atom-ext.xsd" )"
      R"(mime-type="application/octet-stream" format="zip" resolution="multiple" original-name=")" +
          package_->archive_name + R"(" entries="2" client-type="windows" /></atom:entry>)");
  const auto ticket = requests_to(paths::ticket).at(0);
  EXPECT_EQ(ticket.body, "application/atom+xml");
  EXPECT_EQ(ticket.header("Content-Type"), "application/octet-stream");
  const auto put = requests_to(paths::archive).at(0);
  EXPECT_EQ(put.header("Content-Type"), "application/octet-stream");
  EXPECT_EQ(put.body, archive);
  const auto package = requests_to(paths::package).at(0);
  EXPECT_FALSE(package.has_header("Accept-Language"));
  EXPECT_NE(
      package.body.find(R"(<lm:from uid="anna@x.example" /><lm:subject>Holiday</lm:subject>)"
                        R"(<lm:message>Pictures</lm:message><lm:recipient uid="bob@y.example" />)"
                        R"(<lm:recipient uid="carl@z.example" /><lm:media href=")" +
                        base() + R"(/media/1" /></atom:entry>)"),
      std::string::npos)
      << package.body;

  // The media and ticket requests report no progress; from the archive on, each body does.
  const std::string package_size = std::to_string(package.body.size());
  EXPECT_EQ(recorder_.events(),
            (strings{"upload_preparing", "status:send_upload_start", "status:send_uploading",
                     "upload_progress:16384/40000", "upload_progress:32768/40000",
                     "upload_progress:40000/40000",
                     "upload_progress:" + package_size + "/" + package_size, "upload_succeeded"}));
}

TEST_F(photo_upload_run, a_culture_goes_with_the_package_alone) {
  script_service();
  write_archive("zip");
  parvel::application::instance()->settings()->culture = "de-DE";
  send();
  EXPECT_EQ(recorder_.outcome(), "upload_succeeded");
  for (const auto& request : server_.requests()) {
    EXPECT_EQ(request.header("Accept-Language"), request.target == paths::package ? "de-DE" : "")
        << request.target;
  }
}

struct size_case {
  const char* name;
  std::size_t size;
};

class archive_sizes : public photo_upload_run, public testing::WithParamInterface<size_case> {};

TEST_P(archive_sizes, arrive_whole_from_memory_or_from_the_file) {
  script_service();
  const std::string archive = random_bytes(GetParam().size, 4);
  write_archive(archive);
  send();
  EXPECT_EQ(recorder_.outcome(), "upload_succeeded");
  const auto put = requests_to(paths::archive).at(0);
  EXPECT_EQ(put.body_size, archive.size());
  EXPECT_TRUE(put.body == archive);
  const std::string total = std::to_string(archive.size());
  const auto events = recorder_.events();
  EXPECT_NE(std::find(events.begin(), events.end(), "upload_progress:" + total + "/" + total),
            events.end());
}

INSTANTIATE_TEST_SUITE_P(sizes, archive_sizes,
                         testing::Values(size_case{"one_byte", 1},
                                         size_case{"in_memory_limit", 10485760},
                                         size_case{"streamed", 10485761}),
                         test_support::row_name());

struct failure_case {
  const char* name;
  const char* method;
  const char* path;
  int status;
  std::string body;  // "{base}" stands for the service base
  int code;          // 0: the send succeeds
  std::size_t requests;
  std::string logged;
};

class upload_failures : public photo_upload_run,
                        public testing::WithParamInterface<failure_case> {};

TEST_P(upload_failures, end_the_send_with_their_code) {
  const auto& c = GetParam();
  test_support::log_capture capture;
  script_service();
  service::reply reply;
  reply.status = c.status;
  reply.body = boost::replace_all_copy(c.body, "{base}", base());
  answer(c.method, c.path, reply);
  write_archive("zip");
  send();

  EXPECT_EQ(recorder_.outcome(), c.code == 0 ? "upload_succeeded" : failed(c.code));
  EXPECT_EQ(request_lines(), strings(whole_send.begin(), whole_send.begin() + c.requests));
  const std::string line = boost::replace_all_copy(c.logged, "{base}", base());
  EXPECT_TRUE(logged(capture, line)) << line << "\n" << capture.text();
}

const std::string no_link = R"(<entry xmlns="http://www.w3.org/2005/Atom"><id>urn:x</id></entry>)";
const std::string empty_ticket =
    R"(<entry xmlns="http://www.w3.org/2005/Atom"><t:ticket )"
    R"(xmlns:t="http://www.lumbrel.example/xsd/desktop/1.0/desktop-atom-ext.xsd"> </t:ticket></entry>)";

INSTANTIATE_TEST_SUITE_P(
    answers, upload_failures,
    testing::Values(
        failure_case{"media_without_link", "POST", paths::media, 200, no_link, 11, 1,
                     "parvel [error] - photo_upload failed: 'Cannot get the link. Index is out "
                     "of range.'"},
        failure_case{"media_not_xml", "POST", paths::media, 200, "<html>", 11, 1,
                     "parvel [error] - photo_upload failed: 'MSXMLError: Cannot parse the "
                     "xml-document:  [0x3]'"},
        failure_case{"ticket_404", "POST", paths::ticket, 404, "", 11, 2,
                     "parvel [error] - photo_upload failed: 'req_server_ticket: "
                     "'{base}/media/1/uploadticket/' error: [404, Not Found]'"},
        failure_case{"ticket_without_address", "POST", paths::ticket, 200, empty_ticket, 11, 2,
                     "parvel [error] - photo_upload failed: 'req_server_upload: href is "
                     "invalid.'"},
        failure_case{"archive_503", "PUT", paths::archive, 503, "", 11, 3,
                     "parvel [error] - photo_upload failed: 'req_server_upload: "
                     "'{base}/archives/1' error: [503, Service Unavailable]'"},
        failure_case{"package_403", "POST", paths::package, 403, "", 14, 4,
                     "parvel [error] - photo_upload failed: parvel code: 0xe, '" +
                         std::string(parvel::parvel_error(14).what()) + "'"},
        failure_case{"package_500", "POST", paths::package, 500, "", 11, 4,
                     "parvel [error] - photo_upload failed: 'package_account: "
                     "'{base}/atom/1.0/package/' error: [500, Internal Server Error]'"},
        // Accepted: the recipients are notified, so it must not be retried.
        failure_case{"package_accepted_with_unreadable_answer", "POST", paths::package, 200,
                     "accepted", 0, 4,
                     "parvel [warning] - package_account: unreadable answer: 'MSXMLError: "
                     "Cannot parse the xml-document:  [0x2]'"}),
    test_support::row_name());

TEST_F(photo_upload_run, a_missing_archive_fails_after_the_ticket) {
  test_support::log_capture capture;
  script_service();
  send();
  EXPECT_EQ(recorder_.outcome(), failed(11));
  EXPECT_EQ(request_lines(), strings(whole_send.begin(), whole_send.begin() + 2));
  EXPECT_NE(capture.text().find("photo_upload failed: system code: 2, "), std::string::npos);
}

}  // namespace
