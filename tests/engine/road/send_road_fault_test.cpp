#include <gtest/gtest.h>

#include <optional>

#include "core/net/http/timeouts.hpp"
#include "engine/errors/parvel_error.hpp"
#include "tests/engine/jobs/archive_fixture.hpp"
#include "tests/engine/road/send_road_fixture.hpp"
#include "tests/support/table.hpp"

namespace {

using service::step;

std::string failed(int code) {
  return "upload_failed:" + std::to_string(code) + ":" + parvel::parvel_error(code).what();
}

// Photos that get no thumbnail, so that no imaging runs and these sends can
// run under the thread checker.
class send_road_faults : public test_support::send_road {
 protected:
  send_road_faults() {
    add_file("a.psd", test_support::random_bytes(3 << 20, 1));
    add_file("b.NEF", test_support::random_bytes(1000, 2));
  }
};

struct fault_case {
  const char* name;
  std::optional<step> where;
  service::fault fault;
  // The send is canceled at the first event starting with this.
  std::string cancel_at;
  std::string outcome;
  // Requests received of media, archive ticket, archive and package.
  std::vector<std::size_t> requests;
};

class send_road_fault : public send_road_faults, public testing::WithParamInterface<fault_case> {};

TEST_P(send_road_fault, ends_the_send_as_the_user_is_told) {
  const auto& c = GetParam();
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

  EXPECT_EQ(recorder_.outcome(), c.outcome == "canceled" ? "upload_canceled" : c.outcome);
  EXPECT_EQ((std::vector<std::size_t>{received(step::media), received(step::archive_ticket),
                                      received(step::archive), received(step::package)}),
            c.requests);
  EXPECT_TRUE(service_.packages().empty());
}

service::fault answered(int status) {
  service::fault f;
  f.status = status;
  return f;
}

service::fault silent() {
  service::fault f;
  f.delay = std::chrono::seconds(30);
  return f;
}

INSTANTIATE_TEST_SUITE_P(
    faults, send_road_fault,
    testing::Values(
        fault_case{"package_refused", step::package, answered(403), "", failed(14), {1, 1, 1, 1}},
        fault_case{"media_failing", step::media, answered(500), "", failed(11), {1, 0, 0, 0}},
        fault_case{"ticket_stalled", step::archive_ticket, silent(), "", failed(13), {1, 1, 0, 0}},
        // The archive is 3 MiB: the cancel comes with its first piece.
        fault_case{"cancel_during_the_archive",
                   step::feed,
                   {},
                   "upload_progress:",
                   "canceled",
                   {1, 1, 1, 0}},
        fault_case{"cancel_between_requests",
                   step::feed,
                   {},
                   "status:send_uploading",
                   "canceled",
                   {1, 1, 0, 0}}),
    test_support::row_name());

TEST_F(send_road_faults, a_service_not_listening_gives_code_12) {
  service_.stop();
  send();
  EXPECT_EQ(recorder_.outcome(), failed(12));
}

TEST_F(send_road_faults, a_failed_upload_is_retried_alone) {
  service::fault once = answered(500);
  once.count = 1;
  service_.set_fault(step::package, once);
  send();
  EXPECT_EQ(recorder_.outcome(), failed(11));
  ASSERT_TRUE(package_->archived);

  retry_upload();
  EXPECT_EQ(recorder_.outcome(), "upload_succeeded");
  const auto events = recorder_.events();
  EXPECT_EQ(std::count(events.begin(), events.end(), "succeeded"), 1);  // one archive job
  EXPECT_EQ(service_.media().size(), 2u);
  EXPECT_EQ(service_.packages().size(), 1u);
}

}  // namespace
