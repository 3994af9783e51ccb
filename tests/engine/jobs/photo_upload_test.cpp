#include "engine/jobs/photo_upload.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

#include "engine/app/application.hpp"
#include "tests/engine/road/send_road_fixture.hpp"
#include "tests/support/log_capture.hpp"
#include "tests/support/table.hpp"
#include "tests/support/temp_folder.hpp"
#include "tests/support/unreadable_file.hpp"
#include "tools/service/server.hpp"

namespace {

using service::step;
using strings = std::vector<std::string>;
using test_support::random_data;

// What goes on the wire, upload alone. Photos without thumbnails, so that
// these runs use no imaging.
class photo_upload_run : public test_support::send_road {
 protected:
  photo_upload_run() {
    add_file("a.psd", random_data(100, 1));
    add_file("b.NEF", random_data(100, 2));
  }
};

TEST_F(photo_upload_run, sends_media_ticket_archive_and_package) {
  const std::string archive = random_data(40000, 3);
  write_archive(archive);
  upload();

  const auto media = service_.media();
  ASSERT_EQ(media.size(), 1u);
  EXPECT_EQ(
      media[0].entry,
      R"(<?xml version="1.0" encoding="utf-8" ?><atom:entry xmlns:atom="http://www.w3.org/2005/Atom">)"
      R"(<atom:category scheme="http://www.lumbrel.example/xsd/desktop/1.0/2009#kind" )"
      R"(term="http://www.lumbrel.example/xsd/desktop/1.0/2009#media"/>)"
      R"(<lm:media xmlns:lm="http://www.lumbrel.example/xsd/desktop/1.0/desktop-atom-ext.xsd" )"
      R"(mime-type="application/octet-stream" format="zip" resolution="multiple" original-name=")" +
          package_->archive_name + R"(" entries="2" client-type="windows" /></atom:entry>)");
  const auto ticket = service_.requests(step::archive_ticket).at(0);
  EXPECT_EQ(ticket.body, "application/atom+xml");
  EXPECT_EQ(ticket.header("Content-Type"), "application/octet-stream");
  EXPECT_EQ(service_.requests(step::archive).at(0).header("Content-Type"),
            "application/octet-stream");
  EXPECT_TRUE(test_support::read_file(media[0].archive.string()) == archive);
  const auto packages = service_.packages();
  ASSERT_EQ(packages.size(), 1u);
  EXPECT_EQ(packages[0].accept_language, "");
  EXPECT_EQ(
      packages[0].entry,
      R"(<?xml version="1.0" encoding="utf-8" ?><atom:entry xmlns:atom="http://www.w3.org/2005/Atom" )"
      R"(xmlns:lm="http://www.lumbrel.example/xsd/desktop/1.0/desktop-atom-ext.xsd" >)"
      R"(<atom:category scheme="http://www.lumbrel.example/xsd/desktop/1.0/2009#kind" )"
      R"(term="http://www.lumbrel.example/xsd/desktop/1.0/2009#package"/>)"
      R"(<lm:from uid="anna@x.example" /><lm:subject>Sun &amp; sea &lt;3 ]]&gt; done</lm:subject>)"
      "<lm:message>Line one\nLine two</lm:message>"
      R"(<lm:recipient uid="bob@y.example" /><lm:recipient uid="carl@z.example" />)"
      R"(<lm:media href=")" +
          media[0].href + R"(" /></atom:entry>)");

  // The archive's body alone reports progress: the send's amount is its size.
  EXPECT_EQ(recorder_.events(),
            (strings{"upload_preparing", "status:send_upload_start", "status:send_uploading",
                     "upload_progress:16384/40000", "upload_progress:32768/40000",
                     "upload_progress:40000/40000", "upload_succeeded"}));
}

TEST_F(photo_upload_run, a_culture_goes_with_the_package_alone) {
  write_archive("zip");
  parvel::application::instance()->settings()->culture = "de-DE";
  upload();
  EXPECT_EQ(recorder_.outcome(), "upload_succeeded");
  EXPECT_EQ(service_.packages().at(0).accept_language, "de-DE");
  for (const auto& request : service_.requests()) {
    EXPECT_EQ(request.has_header("Accept-Language"), request.target.ends_with("/package/"))
        << request.target;
  }
}

// 10 MiB is sent from memory, one byte more streamed from the file.
TEST_F(photo_upload_run, archives_arrive_whole_from_memory_or_from_the_file) {
  for (const std::size_t size : {10485760, 10485761}) {
    SCOPED_TRACE(size);
    const std::string archive = random_data(size, 4);
    write_archive(archive);
    upload();
    EXPECT_EQ(recorder_.outcome(), "upload_succeeded");
    const auto media = service_.media().back();
    EXPECT_EQ(media.archive_size, archive.size());
    EXPECT_TRUE(test_support::read_file(media.archive.string()) == archive);
  }
}

// The user sees the generic network failure, whichever way the archive is
// sent; the log says what the system refused.
TEST_F(photo_upload_run, an_unreadable_archive_is_logged_with_its_cause) {
  for (const std::size_t size : {1000, 10485761}) {
    SCOPED_TRACE(size);
    write_archive(random_data(size, 5));
    const test_support::log_capture capture;
    {
      // The job's thread starts with this thread's lowered rights.
      const test_support::unreadable_file unreadable(package_->archive_path());
      upload();
    }
    EXPECT_EQ(recorder_.outcome(), test_support::upload_failed(11));
    EXPECT_NE(capture.text().find(": Permission denied'"), std::string::npos) << capture.text();
    EXPECT_EQ(service_.requests(step::archive).size(), 0u);
  }
}

}  // namespace

namespace {

TEST_F(photo_upload_run, a_throwing_listener_of_success_gets_no_second_outcome) {
  write_archive(random_data(1000, 4));
  const boost::signals2::scoped_connection throwing =
      test_support::the_controller().on_photo_upload_succeeded.connect(
          [] { throw std::runtime_error("window gone"); });
  upload();
  const strings events = recorder_.events();
  EXPECT_EQ(events.back(), "upload_succeeded");
  EXPECT_EQ(std::count_if(events.begin(), events.end(),
                          [](const std::string& e) {
                            return e == "upload_succeeded" || e.starts_with("upload_failed") ||
                                   e == "upload_canceled";
                          }),
            1);
  EXPECT_EQ(service_.packages().size(), 1u);
}

// A proxy that turns down every tunnel with its status, named as curl finds
// one, while it lives.
class refusing_proxy {
 public:
  explicit refusing_proxy(int status) {
    proxy_.set_router([status](const service::received_request&) {
      service::route refusing;
      refusing.respond = [status](const service::received_request&) {
        service::reply made{.status = status};
        if (status == 407) {
          made.headers = {{"Proxy-Authenticate", R"(Basic realm="office")"}};
        }
        return made;
      };
      return std::optional<service::route>(refusing);
    });
  }

 private:
  service::server proxy_;
  const test_support::scoped_env https_proxy_{"https_proxy", proxy_.base_url()};
  const test_support::scoped_env no_proxy_{"no_proxy", ""};
};

struct proxy_case {
  const char* name;
  int status;
};

class photo_upload_proxy : public photo_upload_run,
                           public testing::WithParamInterface<proxy_case> {};

// The user sees the generic failure; the log says what the proxy answered.
TEST_P(photo_upload_proxy, a_refused_tunnel_is_named_in_the_log) {
  const int status = GetParam().status;
  write_archive("zip");
  const test_support::log_capture capture;
  {
    const refusing_proxy proxy(status);
    upload();
  }
  EXPECT_EQ(recorder_.outcome(), test_support::upload_failed(11));
  EXPECT_EQ(received(step::media), 0u);
  const std::string line =
      "parvel [error] - photo_upload failed: system code: 12030, 'Cannot send the WinHTTP "
      "request.: The connection with the server was terminated abnormally (CONNECT tunnel "
      "failed, response " +
      std::to_string(status) + ")'";
  const auto lines = capture.lines();
  EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << capture.text();
}

INSTANTIATE_TEST_SUITE_P(refusals, photo_upload_proxy,
                         testing::Values(proxy_case{"forbidden", 403},
                                         proxy_case{"credentials_asked", 407}),
                         test_support::row_name());

}  // namespace
