#include <gtest/gtest.h>

#include <boost/algorithm/string/replace.hpp>
#include <optional>

#include "core/net/http/timeouts.hpp"
#include "engine/errors/parvel_error.hpp"
#include "tests/engine/jobs/archive_fixture.hpp"
#include "tests/engine/road/send_road_fixture.hpp"
#include "tests/support/log_capture.hpp"
#include "tests/support/table.hpp"

namespace {

using service::step;
using sizes = std::vector<std::size_t>;
using test_support::upload_failed;

// Photos that get no thumbnail, so that no imaging runs and these sends can
// run under the thread checker.
class send_road_faults : public test_support::send_road {
 protected:
  send_road_faults() {
    add_file("a.psd", test_support::random_bytes(3 << 20, 1));
    add_file("b.NEF", test_support::random_bytes(1000, 2));
  }

  // Requests received of media, archive ticket, archive and package.
  sizes requests() const {
    return {received(step::media), received(step::archive_ticket), received(step::archive),
            received(step::package)};
  }
};

struct fault_case {
  const char* name;
  std::optional<step> where;
  service::fault fault;
  // The send is canceled at the first event starting with this.
  std::string cancel_at;
  std::string outcome;
  sizes requests;
  // A line the job logs; "{media}" and "{base}" stand for the service's addresses.
  std::string logged;
};

class send_road_fault : public send_road_faults, public testing::WithParamInterface<fault_case> {};

TEST_P(send_road_fault, ends_the_send_as_the_user_is_told) {
  const auto& c = GetParam();
  test_support::log_capture capture;
  if (c.where) {
    service_.set_fault(*c.where, c.fault);
  }
  if (!c.cancel_at.empty()) {
    recorder_.on_first(c.cancel_at, [] { test_support::the_controller().cancel_photo_upload(); });
  }
  const auto normal = core::net::http::default_timeouts();
  core::net::http::set_default_timeouts({std::chrono::seconds(10), std::chrono::seconds(1)});
  send();
  core::net::http::set_default_timeouts(normal);

  EXPECT_EQ(recorder_.outcome(), c.outcome);
  EXPECT_EQ(requests(), c.requests);
  EXPECT_EQ(service_.packages().size(), c.outcome == "upload_succeeded" ? 1u : 0u);
  if (!c.logged.empty()) {
    std::string line = boost::replace_all_copy(c.logged, "{base}", service_.base_url());
    if (!service_.media().empty()) {
      boost::replace_all(line, "{media}", service_.media().front().href);
    }
    const auto lines = capture.lines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << line << "\n"
                                                                        << capture.text();
  }
}

service::fault answered(int status) {
  service::fault f;
  f.status = status;
  return f;
}

service::fault answered_with(const std::string& body) {
  service::fault f;
  f.body = body;
  return f;
}

service::fault silent() {
  service::fault f;
  f.delay = std::chrono::seconds(30);
  return f;
}

const std::string entry_without_link = R"(<entry xmlns="http://www.w3.org/2005/Atom"/>)";
const std::string ticket_without_text =
    R"(<entry xmlns="http://www.w3.org/2005/Atom"><t:ticket )"
    R"(xmlns:t="http://www.lumbrel.example/xsd/desktop/1.0/desktop-atom-ext.xsd"> </t:ticket></entry>)";

INSTANTIATE_TEST_SUITE_P(
    faults, send_road_fault,
    testing::Values(
        fault_case{"media_failing", step::media, answered(500), "", upload_failed(11),
                   sizes{1, 0, 0, 0},
                   "parvel [error] - photo_upload failed: 'req_server_media: "
                   "'{base}/atom/1.0/media/' error: [500, Internal Server Error]'"},
        fault_case{"media_without_link", step::media, answered_with(entry_without_link), "",
                   upload_failed(11), sizes{1, 0, 0, 0},
                   "parvel [error] - photo_upload failed: 'Cannot get the link. Index is out of "
                   "range.'"},
        fault_case{"media_not_xml", step::media, answered_with("<html>"), "", upload_failed(11),
                   sizes{1, 0, 0, 0},
                   "parvel [error] - photo_upload failed: 'MSXMLError: Cannot parse the "
                   "xml-document:  [0x3]'"},
        fault_case{"ticket_refused", step::archive_ticket, answered(404), "", upload_failed(11),
                   sizes{1, 1, 0, 0},
                   "parvel [error] - photo_upload failed: 'req_server_ticket: "
                   "'{media}/uploadticket/' error: [404, Not Found]'"},
        fault_case{"ticket_without_address", step::archive_ticket,
                   answered_with(ticket_without_text), "", upload_failed(11), sizes{1, 1, 0, 0},
                   "parvel [error] - photo_upload failed: 'req_server_upload: href is invalid.'"},
        fault_case{"ticket_stalled", step::archive_ticket, silent(), "", upload_failed(13),
                   sizes{1, 1, 0, 0}, ""},
        fault_case{"archive_refused", step::archive, answered(503), "", upload_failed(11),
                   sizes{1, 1, 1, 0}, ""},
        fault_case{"package_refused", step::package, answered(403), "", upload_failed(14),
                   sizes{1, 1, 1, 1},
                   "parvel [error] - photo_upload failed: parvel code: 0xe, '" +
                       std::string(parvel::parvel_error(14).what()) + "'"},
        fault_case{"package_failing", step::package, answered(500), "", upload_failed(11),
                   sizes{1, 1, 1, 1},
                   "parvel [error] - photo_upload failed: 'package_account: "
                   "'{base}/atom/1.0/package/' error: [500, Internal Server Error]'"},
        // Accepted: the recipients are notified, so the send must not be retried.
        fault_case{"package_accepted_with_unreadable_answer", step::package,
                   answered_with("accepted"), "", "upload_succeeded", sizes{1, 1, 1, 1},
                   "parvel [warning] - package_account: unreadable answer: 'MSXMLError: "
                   "Cannot parse the xml-document:  [0x2]'"},
        // The archive is 3 MiB: the cancel comes with its first piece.
        fault_case{"cancel_during_the_archive",
                   std::nullopt,
                   {},
                   "upload_progress:",
                   "upload_canceled",
                   sizes{1, 1, 1, 0},
                   ""},
        fault_case{"cancel_between_requests",
                   std::nullopt,
                   {},
                   "status:send_uploading",
                   "upload_canceled",
                   sizes{1, 1, 0, 0},
                   ""}),
    test_support::row_name());

TEST_F(send_road_faults, a_service_not_listening_gives_code_12) {
  service_.stop();
  send();
  EXPECT_EQ(recorder_.outcome(), upload_failed(12));
}

TEST_F(send_road_faults, a_missing_archive_fails_after_the_ticket) {
  test_support::log_capture capture;
  upload();
  EXPECT_EQ(recorder_.outcome(), upload_failed(11));
  EXPECT_EQ(requests(), (sizes{1, 1, 0, 0}));
  EXPECT_NE(capture.text().find("photo_upload failed: system code: 2, "), std::string::npos);
}

TEST_F(send_road_faults, a_failed_upload_is_retried_alone) {
  service::fault once = answered(500);
  once.count = 1;
  service_.set_fault(step::package, once);
  send();
  EXPECT_EQ(recorder_.outcome(), upload_failed(11));
  ASSERT_TRUE(package_->archived);

  upload();
  EXPECT_EQ(recorder_.outcome(), "upload_succeeded");
  const auto events = recorder_.events();
  EXPECT_EQ(std::count(events.begin(), events.end(), "succeeded"), 1);  // one archive job
  EXPECT_EQ(service_.media().size(), 2u);
  EXPECT_EQ(service_.packages().size(), 1u);
}

}  // namespace
