#include <gtest/gtest.h>

#include <boost/algorithm/string/replace.hpp>
#include <filesystem>
#include <fstream>
#include <optional>
#include <thread>

#include "core/net/http/timeouts.hpp"
#include "engine/errors/parvel_error.hpp"
#include "engine/jobs/photo_upload.hpp"
#include "tests/engine/road/send_road_fixture.hpp"
#include "tests/support/log_capture.hpp"
#include "tests/support/table.hpp"
#include "tests/support/temp_folder.hpp"
#include "tools/service/tunnel_proxy.hpp"

namespace {

using service::step;
using sizes = std::vector<std::size_t>;
using test_support::upload_failed;

// Photos that get no thumbnail, so that no imaging runs and these sends can
// run under the thread checker.
class send_road_faults : public test_support::send_road {
 protected:
  send_road_faults() {
    add_file("a.psd", test_support::random_data(3 << 20, 1));
    add_file("b.NEF", test_support::random_data(1000, 2));
  }

  // Whether the service received one request of each of the first `reached`
  // steps among media, archive ticket, archive and package (of the archive
  // that many, once reached), and none of the others. An aborted upload is
  // recorded once the service has seen the connection close.
  void expect_reached(std::size_t reached, std::size_t archive_requests = 1) const {
    const std::size_t repeated = reached >= 3 ? archive_requests - 1 : 0;
    EXPECT_TRUE(service_.wait_for_requests(reached + repeated, std::chrono::seconds(20)));
    const sizes received_requests{received(step::media), received(step::archive_ticket),
                                  received(step::archive), received(step::package)};
    sizes expected(4, 0);
    std::fill_n(expected.begin(), reached, 1);
    expected[2] += repeated;
    EXPECT_EQ(received_requests, expected);
  }
};

struct scripted {
  step where;
  service::fault fault;
};

std::optional<scripted> refused(step where, int status) {
  return scripted{where, {.status = status}};
}
std::optional<scripted> answered(step where, const std::string& body) {
  return scripted{where, {.body = body}};
}

struct fault_case {
  const char* name;
  std::optional<scripted> fault;
  // The send is canceled at the first event starting with this.
  std::string cancel_at;
  std::string outcome;
  std::size_t reached;  // steps, see expect_reached
  // A line the job logs; "{media}", "{base}" and "{archive}" (the archive's
  // upload) stand for the service's addresses.
  std::string logged;
  bool service_stopped = false;
  // The client's shortest stall limit and a short answer deadline, for the
  // rows whose service stalls or drips: on a loaded machine they would cut
  // the other rows' slow but sound exchanges.
  bool short_limits = false;
  // The archive's requests, once reached.
  std::size_t archive_requests = 1;
  // Every request goes through this proxy's tunnels.
  std::optional<service::tunnel_proxy::options> proxy;
};

// The client's shortest stall limit and short answer deadlines while it
// lives: the one after a proxy has taken a request longer than the time its
// uplink here needs, which is no slower than the test proxy's slow uplink.
class short_client_limits {
 public:
  explicit short_client_limits(std::chrono::milliseconds answer = std::chrono::seconds(5))
      : normal_(core::net::http::default_timeouts()) {
    core::net::http::set_default_timeouts(
        {normal_.connect, std::chrono::seconds(1), answer, std::chrono::seconds(15), 384 << 10});
  }
  ~short_client_limits() { core::net::http::set_default_timeouts(normal_); }
  short_client_limits(const short_client_limits&) = delete;
  short_client_limits& operator=(const short_client_limits&) = delete;

 private:
  const core::net::http::timeouts normal_;
};

// One byte of the answer every half second: some minutes for an entry.
const service::fault dripped{.trickle_piece = 1, .trickle_pause = std::chrono::milliseconds(500)};
// The archive's answer has no body of its own: five minutes of blanks,
// dripped once the whole archive has arrived.
const service::fault archive_answer_dripped{.body = std::string(600, ' '),
                                            .trickle_piece = 1,
                                            .trickle_pause = std::chrono::milliseconds(500)};

// A proxy on a fast network in front of a slow uplink: it takes the 3 MiB
// archive at once and needs some eight seconds to forward it.
const service::tunnel_proxy::options slow_uplink{.rate = 384 << 10};
const service::tunnel_proxy::options fast_uplink{.rate = 16 << 20};

// A filtering front's block page in the service's stead: a 200 of its own.
const std::string block_page =
    "<!DOCTYPE html>\n<html><head><title>Blocked</title></head>"
    "<body>This upload was blocked by your network's policy.</body></html>\n";
const service::fault blocked{
    .status = 200, .body = block_page, .content_type = "text/html; charset=utf-8"};

// A package's answer whose body is more than the client keeps (16 MiB), told
// by its length, its chunks, or the close that ends it.
service::fault package_answer_over_the_limit(const std::string& head, std::size_t blanks = 0) {
  return {.raw_answer = "HTTP/1.1 200 OK\r\nContent-Type: application/atom+xml\r\n" + head,
          .blanks = blanks};
}
const std::string too_large_package_answer =
    "parvel [warning] - package_account: unreadable answer: 'Failed to read data.: Message too "
    "long'";

// An answer of 100 bytes cut after its first ten.
const std::string cut_package_answer =
    "parvel [warning] - package_account: unreadable answer: 'Failed to read data.: The "
    "connection with the server was terminated abnormally (transfer closed with 90 bytes "
    "remaining to read)'";

class send_road_fault : public send_road_faults, public testing::WithParamInterface<fault_case> {};

TEST_P(send_road_fault, ends_the_send_as_the_user_is_told) {
  const auto& c = GetParam();
  test_support::log_capture capture;
  if (c.fault) {
    service_.set_fault(c.fault->where, c.fault->fault);
  }
  if (c.service_stopped) {
    service_.stop();
  }
  if (!c.cancel_at.empty()) {
    recorder_.on_first(c.cancel_at, [] { test_support::the_controller().cancel_photo_upload(); });
  }
  std::optional<service::tunnel_proxy> proxy;
  std::optional<test_support::scoped_env> https_proxy;
  const test_support::scoped_env no_proxy("no_proxy", "");
  if (c.proxy) {
    proxy.emplace(*c.proxy);
    https_proxy.emplace("https_proxy", proxy->url());
  }
  {
    std::optional<short_client_limits> limits;
    if (c.short_limits) {
      limits.emplace();
    }
    send();
  }

  EXPECT_EQ(recorder_.outcome(), c.outcome);
  expect_reached(c.reached, c.archive_requests);
  EXPECT_EQ(service_.packages().size(), c.outcome == "upload_succeeded" ? 1u : 0u);
  if (!c.logged.empty()) {
    std::string line = boost::replace_all_copy(c.logged, "{base}", service_.base_url());
    if (!service_.media().empty()) {
      boost::replace_all(line, "{media}", service_.media().front().href);
    }
    if (const auto uploads = service_.requests(step::archive); !uploads.empty()) {
      const std::string base = service_.base_url();
      boost::replace_all(line, "{archive}",
                         base.substr(0, base.rfind("/desktopserver")) + uploads.front().target);
    }
    const auto lines = capture.lines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << line << "\n"
                                                                        << capture.text();
  }
}

const std::string failed = "parvel [error] - photo_upload failed: ";

INSTANTIATE_TEST_SUITE_P(
    faults, send_road_fault,
    testing::Values(
        fault_case{"media_failing", refused(step::media, 500), "", upload_failed(11), 1,
                   failed + "'req_server_media: '{base}/atom/1.0/media/' error: [500, Internal "
                            "Server Error]'"},
        fault_case{"media_without_link",
                   answered(step::media, R"(<entry xmlns="http://www.w3.org/2005/Atom"/>)"), "",
                   upload_failed(11), 1, failed + "'Cannot get the link. Index is out of range.'"},
        fault_case{"media_not_xml", answered(step::media, "<html>"), "", upload_failed(11), 1,
                   failed + "'MSXMLError: Cannot parse the xml-document:  [0x3]'"},
        fault_case{"ticket_refused", refused(step::archive_ticket, 404), "", upload_failed(11), 2,
                   failed + "'req_server_ticket: '{media}/uploadticket/' error: [404, Not Found]'"},
        fault_case{"ticket_without_address",
                   answered(step::archive_ticket,
                            R"(<entry xmlns="http://www.w3.org/2005/Atom"><t:ticket )"
                            R"(xmlns:t="http://www.lumbrel.example/xsd/desktop/1.0/)"
                            R"(desktop-atom-ext.xsd"> </t:ticket></entry>)"),
                   "", upload_failed(11), 2, failed + "'req_server_upload: href is invalid.'"},
        fault_case{"ticket_stalled",
                   scripted{step::archive_ticket, {.delay = std::chrono::seconds(30)}}, "",
                   upload_failed(13), 2, "", false, true},
        fault_case{"ticket_dripped", scripted{step::archive_ticket, dripped}, "", upload_failed(13),
                   2, "", false, true},
        fault_case{"package_refused", refused(step::package, 403), "", upload_failed(14), 4,
                   failed + "parvel code: 0xe, '" + parvel::parvel_error(14).what() + "'"},
        // Accepted: the recipients are notified, so the send must not be retried.
        fault_case{"package_accepted_with_unreadable_answer", answered(step::package, "accepted"),
                   "", "upload_succeeded", 4,
                   "parvel [warning] - package_account: unreadable answer: 'MSXMLError: Cannot "
                   "parse the xml-document:  [0x2]'"},
        // The answer's deadline counts from the archive's last byte.
        fault_case{"archive_answer_dripped", scripted{step::archive, archive_answer_dripped}, "",
                   upload_failed(13), 3,
                   failed + "system code: 12002, 'Failed to read data.: The operation timed out "
                            "(no whole answer within 5000 ms of the request)'",
                   false, true},
        fault_case{"archive_answered_by_a_block_page", scripted{step::archive, blocked}, "",
                   upload_failed(11), 3,
                   failed + "'req_server_upload: '{archive}' answered with a page, not by the "
                            "service: [200, OK, Content-Type 'text/html; charset=utf-8']'"},
        // Told by its body alone: an XHTML page behind an XML declaration and a comment.
        fault_case{"archive_answered_by_an_xhtml_body",
                   scripted{step::archive,
                            {.status = 200,
                             .body = "\xEF\xBB\xBF<?xml version=\"1.0\"?>\n<!-- policy -->\n"
                                     "<HTML xmlns=\"http://www.w3.org/1999/xhtml\"></HTML>",
                             .content_type = "application/xml"}},
                   "", upload_failed(11), 3,
                   failed + "'req_server_upload: '{archive}' answered with a page, not by the "
                            "service: [200, OK, Content-Type 'application/xml']'"},
        fault_case{"package_answered_by_a_block_page", scripted{step::package, blocked}, "",
                   upload_failed(11), 4,
                   failed + "'package_account: '{base}/atom/1.0/package/' answered with a page, "
                            "not by the service: [200, OK, Content-Type 'text/html; "
                            "charset=utf-8']'"},
        fault_case{"package_answered_by_a_page_sent_as_text",
                   scripted{step::package, {.status = 200, .body = block_page}}, "",
                   upload_failed(11), 4,
                   failed + "'package_account: '{base}/atom/1.0/package/' answered with a page, "
                            "not by the service: [200, OK, Content-Type 'text/plain; "
                            "charset=utf-8']'"},
        // The service's own entry under a page's label: accepted, never posted twice.
        fault_case{"package_accepted_with_its_entry_labelled_as_a_page",
                   scripted{step::package, {.content_type = "text/html; charset=utf-8"}}, "",
                   "upload_succeeded", 4, ""},
        // The service's own entry, cut short: accepted all the same.
        fault_case{
            "package_accepted_with_a_cut_entry",
            answered(step::package, R"(<?xml version="1.0" encoding="utf-8"?>)"
                                    R"(<atom:entry xmlns:atom="http://www.w3.org/2005/Atom">)"),
            "", "upload_succeeded", 4, ""},
        // Once the package's status line has arrived the service holds it:
        // whatever then becomes of the answer's body, the send is done.
        fault_case{"package_answer_cut_after_its_status_line",
                   scripted{step::package, {.body = std::string(100, ' '), .cut_after = 10}}, "",
                   "upload_succeeded", 4, cut_package_answer},
        fault_case{"package_answer_closed_mid_body",
                   scripted{step::package,
                            {.body = std::string(100, ' '), .cut_after = 10, .close_notify = true}},
                   "", "upload_succeeded", 4, cut_package_answer},
        fault_case{"package_answer_announced_over_the_limit",
                   scripted{step::package,
                            package_answer_over_the_limit("Content-Length: 1073741824\r\n\r\n")},
                   "", "upload_succeeded", 4, too_large_package_answer},
        fault_case{
            "package_answer_chunked_over_the_limit",
            scripted{step::package, package_answer_over_the_limit(
                                        "Transfer-Encoding: chunked\r\n\r\n1100000\r\n", 17 << 20)},
            "", "upload_succeeded", 4, too_large_package_answer},
        fault_case{"package_answer_closed_over_the_limit",
                   scripted{step::package,
                            package_answer_over_the_limit("Connection: close\r\n\r\n", 17 << 20)},
                   "", "upload_succeeded", 4, too_large_package_answer},
        fault_case{"package_answer_dripped", scripted{step::package, dripped}, "",
                   "upload_succeeded", 4,
                   "parvel [warning] - package_account: unreadable answer: 'Failed to read data.: "
                   "The operation timed out (no whole answer within 5000 ms of the request)'",
                   false, true},
        // Links of the service's answers that leave https: nothing goes out in clear.
        fault_case{
            "media_links_in_clear",
            answered(step::media, R"(<entry xmlns="http://www.w3.org/2005/Atom"><link )"
                                  R"(rel="edit" href="http://127.0.0.1:9/m/1"/></entry>)"),
            "", upload_failed(11), 1,
            failed + "'refused a link that leaves https: 'http://127.0.0.1:9/m/1/uploadticket/''"},
        fault_case{"ticket_in_clear",
                   answered(step::archive_ticket,
                            R"(<entry xmlns="http://www.w3.org/2005/Atom"><t:ticket )"
                            R"(xmlns:t="http://www.lumbrel.example/xsd/desktop/1.0/)"
                            R"(desktop-atom-ext.xsd">http://127.0.0.1:9/up</t:ticket></entry>)"),
                   "", upload_failed(11), 2,
                   failed + "'refused a link that leaves https: 'http://127.0.0.1:9/up''"},
        // Redirects that would make a GET of the upload or the package are
        // never taken for the service's answer.
        fault_case{
            "archive_redirected_as_a_get",
            scripted{step::archive, {.status = 303, .location = "/desktopserver/atom/1.0/media/"}},
            "", upload_failed(11), 3,
            failed + "'req_server_upload: '{archive}' error: [303, See Other]'"},
        fault_case{"package_redirected_as_a_get",
                   scripted{step::package, {.status = 302, .location = "{target}"}}, "",
                   upload_failed(11), 4,
                   failed + "'package_account: '{base}/atom/1.0/package/' error: [302, Found]'"},
        // The archive goes out twice at most, whatever a redirect loop asks.
        fault_case{"archive_redirected_to_itself",
                   scripted{step::archive, {.status = 307, .location = "{target}"}}, "",
                   upload_failed(11), 3,
                   failed + "'req_server_upload: '{archive}' error: [307, Temporary Redirect]'",
                   false, false, 2},
        // The answer's deadline cannot count from the proxy's taking the archive.
        fault_case{"archive_through_a_buffering_proxy", std::nullopt, "", "upload_succeeded", 4, "",
                   false, true, 1, slow_uplink},
        fault_case{"archive_answer_stalled_behind_a_proxy",
                   scripted{step::archive, {.delay = std::chrono::seconds(60)}}, "",
                   upload_failed(13), 3,
                   failed + "system code: 12002, 'Wait to receive the WinHTTP response failed.: "
                            "The operation timed out (no whole answer within 15000 ms of the "
                            "proxy's taking the request)'",
                   false, true, 1, fast_uplink},
        fault_case{"service_not_listening", std::nullopt, "", upload_failed(12), 0, "", true},
        // The archive is 3 MiB: the cancel comes with its first piece.
        fault_case{"cancel_during_the_archive", std::nullopt, "upload_progress:", "upload_canceled",
                   3, ""},
        fault_case{"cancel_between_requests", std::nullopt, "status:send_uploading",
                   "upload_canceled", 2, ""}),
    test_support::row_name());

enum class moment { before_it_is_posted, while_its_answer_is_awaited, amid_its_answers_body };

struct package_cancel_case {
  const char* name;
  // Before it is posted: at the archive's last progress report, as the
  // package's requests report none of their own.
  moment cancel;
  service::fault answer;
  std::string outcome;
  std::size_t packages;
  // The service may hold the package unanswered: the log says so.
  bool warned;
};

class package_cancel : public send_road_faults,
                       public testing::WithParamInterface<package_cancel_case> {};

// Until its answer's head has arrived a cancel ends the send at once,
// whatever the service did with the package; the log tells what the user
// cannot see. Once the head has arrived the package is sent, and a Retry
// would post it again.
TEST_P(package_cancel, ends_the_send_as_its_answer_decides) {
  const auto& c = GetParam();
  test_support::log_capture capture;
  write_archive(test_support::random_data(200 << 10, 3));
  auto& controller = test_support::the_controller();
  const boost::signals2::scoped_connection canceling =
      controller.on_photo_upload_progress.connect([&](unsigned sent, unsigned total, unsigned) {
        if (c.cancel == moment::before_it_is_posted && sent == total) {
          controller.cancel_photo_upload();
        }
      });
  service_.set_fault(step::package, c.answer);
  controller.start_photo_upload(package_);
  if (c.cancel != moment::before_it_is_posted) {
    // Media, ticket, archive and package received.
    ASSERT_TRUE(service_.wait_for_requests(4, std::chrono::seconds(60)));
    if (c.cancel == moment::amid_its_answers_body) {
      // The head and the body's first byte go out at once, the rest in minutes.
      std::this_thread::sleep_for(std::chrono::seconds(2));
    }
    controller.cancel_photo_upload();
  }
  ASSERT_TRUE(recorder_.wait_for_end());

  EXPECT_EQ(recorder_.outcome(), c.outcome);
  EXPECT_EQ(service_.packages().size(), c.packages);
  const auto lines = capture.lines();
  EXPECT_EQ(std::count(lines.begin(), lines.end(),
                       "parvel [warning] - package_account: canceled after the package was sent; "
                       "its answer was not awaited"),
            c.warned ? 1 : 0)
      << capture.text();
}

// Due long after the client's stall limit of 30 s.
const service::fault answered_late{.delay = std::chrono::minutes(2)};

INSTANTIATE_TEST_SUITE_P(
    moments, package_cancel,
    testing::Values(package_cancel_case{"before_it_is_posted", moment::before_it_is_posted,
                                        answered_late, "upload_canceled", 0, false},
                    package_cancel_case{"while_its_answer_is_awaited",
                                        moment::while_its_answer_is_awaited, answered_late,
                                        "upload_canceled", 1, true},
                    package_cancel_case{"amid_its_answers_body", moment::amid_its_answers_body,
                                        dripped, "upload_succeeded", 1, false}),
    test_support::row_name());

// A slow uplink, or a service that reads slowly: when libcurl has handed over
// the archive's last byte, the socket still holds more than the answer's
// deadline of it. The deadline waits for the service to take it.
TEST_F(send_road_faults, a_slow_uplink_sends_one_package) {
  test_support::log_capture capture;
  const short_client_limits limits(std::chrono::seconds(1));
  // About 650 KB/s: some seconds for the 3 MiB archive.
  service_.set_fault(step::archive,
                     {.read_piece = 16384, .read_pause = std::chrono::milliseconds(25)});
  send();
  EXPECT_EQ(recorder_.outcome(), "upload_succeeded") << capture.text();
  expect_reached(4);
  EXPECT_EQ(service_.packages().size(), 1u);
}

// A proxy in bursts on a slow uplink still forwards the canceled upload's
// bytes while the Retry's go through it: its pauses are the longer for them.
TEST_F(send_road_faults, a_retry_behind_a_canceled_upload_through_a_proxy_sends_one_package) {
  test_support::log_capture capture;
  const short_client_limits limits;
  // 1.5 s of the uplink in each burst; the archive needs more than one.
  constexpr std::size_t burst = 576 << 10;
  const service::tunnel_proxy proxy({.rate = 384 << 10, .held = burst, .bursts = true});
  const test_support::scoped_env https_proxy("https_proxy", proxy.url());
  const test_support::scoped_env no_proxy("no_proxy", "");
  write_archive(test_support::random_data(1 << 20, 3));
  auto& controller = test_support::the_controller();
  {
    const boost::signals2::scoped_connection canceling =
        controller.on_photo_upload_progress.connect([&](unsigned sent, unsigned, unsigned) {
          if (sent >= burst) {
            controller.cancel_photo_upload();
          }
        });
    upload();
  }
  ASSERT_EQ(recorder_.outcome(), "upload_canceled");

  upload();
  EXPECT_EQ(recorder_.outcome(), "upload_succeeded") << capture.text();
  EXPECT_EQ(service_.packages().size(), 1u);
}

TEST_F(send_road_faults, a_missing_archive_fails_before_any_request) {
  test_support::log_capture capture;
  upload();
  EXPECT_EQ(recorder_.outcome(), upload_failed(6));
  expect_reached(0);
  EXPECT_NE(capture.text().find("req_server_upload: the archive is not as it was made: "),
            std::string::npos);
}

struct retry_case {
  const char* name;
  scripted first_failure;
  int code;
  bool short_limits = false;  // for the first send, see fault_case
};

class send_road_retry : public send_road_faults, public testing::WithParamInterface<retry_case> {};

TEST_P(send_road_retry, a_failed_upload_is_retried_alone) {
  const auto& c = GetParam();
  service_.set_fault(c.first_failure.where, c.first_failure.fault);
  {
    std::optional<short_client_limits> limits;
    if (c.short_limits) {
      limits.emplace();
    }
    send();
  }
  EXPECT_EQ(recorder_.outcome(), upload_failed(c.code));
  ASSERT_TRUE(package_->archived);

  upload();
  EXPECT_EQ(recorder_.outcome(), "upload_succeeded");
  const auto events = recorder_.events();
  EXPECT_EQ(std::count(events.begin(), events.end(), "succeeded"), 1);  // one archive job
  EXPECT_EQ(service_.media().size(), 2u);
  EXPECT_EQ(service_.packages().size(), 1u);
}

service::fault once(service::fault scripted) {
  scripted.count = 1;
  return scripted;
}

INSTANTIATE_TEST_SUITE_P(
    first_failures, send_road_retry,
    testing::Values(
        retry_case{"package_refused", {step::package, {.count = 1, .status = 500}}, 11},
        retry_case{"ticket_dripped", {step::archive_ticket, once(dripped)}, 13, true},
        retry_case{
            "archive_answer_dripped", {step::archive, once(archive_answer_dripped)}, 13, true},
        retry_case{"archive_answered_by_a_block_page", {step::archive, once(blocked)}, 11},
        retry_case{"package_answered_by_a_block_page", {step::package, once(blocked)}, 11}),
    test_support::row_name());

enum class damage { cut, changed, removed, folder_removed };

struct damage_case {
  const char* name;
  // Else damaged while the first send's upload reads it.
  std::optional<scripted> first_failure;
  // The archive goes over the in-memory limit and is sent from its file.
  bool streamed;
  damage kind;
};

void inflict(damage kind, const std::string& path) {
  const std::uint64_t size = std::filesystem::file_size(path);
  switch (kind) {
    case damage::cut:
      std::filesystem::resize_file(path, size / 2);
      break;
    case damage::changed: {
      std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
      file.seekp(static_cast<std::streamoff>(size / 2));
      file << "damaged";
      break;
    }
    case damage::removed:
      std::filesystem::remove(path);
      break;
    case damage::folder_removed:
      std::filesystem::remove_all(std::filesystem::path(path).parent_path());
      break;
  }
}

class send_road_damaged_archive : public send_road_faults,
                                  public testing::WithParamInterface<damage_case> {};

// A cleaner of the temporary folder, the user's tidying, or another program
// touches the kept archive between a failed upload and the Retry, or while it
// is sent.
TEST_P(send_road_damaged_archive, is_never_sent_and_the_next_send_makes_it_again) {
  const auto& c = GetParam();
  const std::string photo = test_support::random_data(c.streamed ? 8 << 20 : 1000, 7);
  add_file("c.psd", photo);
  test_support::log_capture capture;
  if (c.first_failure) {
    service_.set_fault(c.first_failure->where, once(c.first_failure->fault));
    send();
    ASSERT_EQ(recorder_.outcome(), upload_failed(11));
    ASSERT_TRUE(package_->archived);
    EXPECT_EQ(std::filesystem::file_size(package_->archive_path()) >
                  parvel::photo_upload::in_memory_limit,
              c.streamed);
    inflict(c.kind, package_->archive_path());
    upload();
  } else {
    recorder_.on_first("upload_progress:", [&] { inflict(c.kind, package_->archive_path()); });
    send();
  }
  EXPECT_EQ(recorder_.outcome(), upload_failed(6));
  // Those of the first attempt alone: a Retry makes none.
  EXPECT_EQ(service_.media().size(), 1u);
  EXPECT_EQ(received(step::archive_ticket), 1u);
  EXPECT_TRUE(service_.packages().empty());
  const std::string path = package_->archive_path();
  const std::string logged =
      c.kind == damage::removed || c.kind == damage::folder_removed
          ? "cannot look at the archive " + path + ": No such file or directory"
          : "the archive is not as it was made: " + path;
  EXPECT_NE(capture.text().find("parvel [error] - req_server_upload: " + logged), std::string::npos)
      << capture.text();
  EXPECT_FALSE(package_->archived);

  send();
  EXPECT_EQ(recorder_.outcome(), "upload_succeeded");
  ASSERT_EQ(service_.packages().size(), 1u);
  const auto sent = test_support::read_archive(service_.media().back().archive.string());
  EXPECT_EQ(test_support::names_of(sent), (std::vector<std::string>{"a.psd", "b.NEF", "c.psd"}));
  EXPECT_TRUE(sent.at("c.psd") == photo);
}

const scripted package_failed{step::package, {.status = 500}};

INSTANTIATE_TEST_SUITE_P(
    damages, send_road_damaged_archive,
    testing::Values(
        damage_case{"cut_after_a_failed_package", package_failed, false, damage::cut},
        damage_case{"changed_after_a_failed_package", package_failed, false, damage::changed},
        damage_case{"cut_after_a_failed_upload", scripted{step::archive, {.status = 500}}, false,
                    damage::cut},
        damage_case{"removed_after_a_failed_package", package_failed, false, damage::removed},
        damage_case{"folder_removed_after_a_failed_package", package_failed, false,
                    damage::folder_removed},
        damage_case{"streamed_cut_after_a_failed_package", package_failed, true, damage::cut},
        damage_case{"streamed_changed_after_a_failed_package", package_failed, true,
                    damage::changed},
        damage_case{"streamed_cut_while_sent", std::nullopt, true, damage::cut},
        damage_case{"streamed_removed_while_sent", std::nullopt, true, damage::removed}),
    test_support::row_name());

}  // namespace
