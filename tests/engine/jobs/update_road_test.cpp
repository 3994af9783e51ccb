#include <gtest/gtest.h>

#include <filesystem>

#include "engine/app/application.hpp"
#include "engine/controller/controller.hpp"
#include "engine/photos/temp_folder.hpp"
#include "tests/engine/road/send_road_fixture.hpp"
#include "tests/service/test_tools.hpp"
#include "tests/support/fake_opener.hpp"
#include "tests/support/log_capture.hpp"
#include "tests/support/table.hpp"
#include "tools/service/server.hpp"
#include "tools/service/web_service.hpp"

namespace {

namespace fs = std::filesystem;
using test_support::the_controller;
using strings = std::vector<std::string>;

parvel::application_settings& settings() {
  return *parvel::application::instance()->settings();
}

constexpr char feed_path[] = "/content/parvel.feed.xml";
const std::string a_run = "https://www.lumbrel.example/a.run";
const std::string b_run = "https://www.lumbrel.example/b.run";

std::string entry(const std::string& version, const std::string& href,
                  const std::string& platform = "X86", const std::string& length = "") {
  return "<entry><u:version>" + version + "</u:version><link platform='" + platform + "' href='" +
         href + (length.empty() ? "" : "' length='" + length) + "'/></entry>";
}

std::string feed(const std::string& entries) {
  return "<feed xmlns='http://www.w3.org/2005/Atom' "
         "xmlns:u='http://www.lumbrel.example/schemas/appsyndication/2009'>" +
         entries + "</feed>";
}

// The feed and the installers come over HTTPS from a server whose CA only the
// test trusts; the desktop's opener is a script that reports to the test.
class update_road : public testing::Test {
 protected:
  update_road() {
    settings().feed_url = server_.base_url() + feed_path;
    core::parse_version_string("1.2.9.9", settings().version);
    fs::remove_all(parvel::get_temp_folder());
  }

  // Below the temp folder, folders left out.
  static strings saved_files() {
    strings names;
    const fs::path folder = parvel::get_temp_folder();
    for (const auto& file : fs::recursive_directory_iterator(folder)) {
      if (!file.is_directory()) {
        names.push_back(file.path().lexically_relative(folder).string());
      }
    }
    return names;
  }

  // The next job's ending.
  std::string outcome() { return recorder_.wait_for_end() ? recorder_.outcome() : "no ending"; }

  // job: "check", "download" or "install".
  void expect_failure(const std::string& job, const std::string& text) {
    ASSERT_TRUE(recorder_.wait_for_end());
    EXPECT_EQ(recorder_.outcome(), job + " failed");
    const strings lines = log_.lines();
    const std::string line = "parvel [error] - update_" + job + " failed: '" + text + "'";
    EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << log_.text();
  }

  const test_support::test_certificates& certificates_ = test_support::trusted_certificates();
  service::server server_{{certificates_.certificate_file(), certificates_.key_file()}};
  test_support::temp_folder folder_;
  test_support::fake_opener opener_;
  test_support::log_capture log_;
  test_support::job_recorder recorder_{the_controller()};
};

TEST_F(update_road, newer_feed_downloads_and_starts_the_installer) {
  // The stand-in service serves the feed and the installer from a folder.
  const test_support::temp_folder content;
  const service::web_service site(
      {.http = {certificates_.certificate_file(), certificates_.key_file()},
       .data_folder = content.path() / "data",
       .feed_folder = content.path()});
  settings().feed_url = site.feed_url();
  const std::string installer = test_support::pattern(100000);
  const std::string href =
      site.feed_url().substr(0, site.feed_url().rfind('/')) + "/setup.run?channel=beta#notes";
  test_support::write_file(content.file("parvel.feed.xml"),
                           feed(entry("1.2.10.0", href, "X86", "100000")));
  test_support::write_file(content.file("setup.run"), installer);
  // An older download of that name is replaced; a link there is not followed.
  const std::string saved = parvel::get_installer_folder() + "/setup.run";
  test_support::write_file(folder_.file("elsewhere"), "keep");
  fs::create_symlink(folder_.file("elsewhere"), saved);

  the_controller().start_update_check();
  ASSERT_EQ(outcome(), "check newer 1.2.10.0 " + href + " 100000 bytes");
  the_controller().start_update_download(href, 100000);
  ASSERT_EQ(outcome(), "download saved " + saved);
  EXPECT_EQ(recorder_.events().end()[-2], "progress 100000/100000");
  EXPECT_TRUE(test_support::read_file(saved) == installer);
  EXPECT_EQ(test_support::read_file(folder_.file("elsewhere")), "keep");
  EXPECT_EQ(static_cast<int>(fs::symlink_status(saved).permissions()), 0600);
  the_controller().start_update_install(saved);
  EXPECT_EQ(outcome(), "install started");
  EXPECT_EQ(opener_.next_opened(), "1|" + saved);
}

service::reply served(std::string body) {
  return {.body = std::move(body)};
}
service::reply answered(int status) {
  return {.status = status};
}

struct check_case {
  const char* name;
  const char* installed;
  service::reply answer;
  // The check's event, or the failure's text.
  std::string outcome;
  // Instead of the server's feed.
  std::string feed_url = "";
  // A line the check logs.
  std::string log_line = "";
};

class update_check_outcome : public update_road, public testing::WithParamInterface<check_case> {};

TEST_P(update_check_outcome, is_relayed_or_logged) {
  const auto& c = GetParam();
  core::parse_version_string(c.installed, settings().version);
  if (!c.feed_url.empty()) {
    settings().feed_url = c.feed_url;
  }
  server_.add_route("GET", feed_path, c.answer);
  the_controller().start_update_check();
  if (c.outcome.starts_with("check ")) {
    EXPECT_EQ(outcome(), c.outcome);
  } else {
    expect_failure("check", c.outcome);
  }
  if (!c.log_line.empty()) {
    const strings lines = log_.lines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), c.log_line), lines.end()) << log_.text();
  }
}

INSTANTIATE_TEST_SUITE_P(
    feeds, update_check_outcome,
    testing::Values(
        check_case{"equal_version_is_no_update", "1.2.3.4", served(feed(entry("1.2.3.4", a_run))),
                   "check not newer 1.2.3.4 " + a_run},
        check_case{"highest_x86_offer_first_of_equals", "1.0.0.0",
                   served(feed(entry("3.0.0.0", b_run, "x86") + entry("1.5.0.0", b_run) +
                               entry("2.0.0.0", a_run) + entry("2.0.0.0", b_run))),
                   "check newer 2.0.0.0 " + a_run},
        check_case{
            "unreadable_versions_hide_no_other", "1.0.0.0",
            served(feed(entry("99999999999", b_run) + entry("", b_run) + entry("2.0.0.0", a_run))),
            "check newer 2.0.0.0 " + a_run, "",
            "parvel [warning] - update_check: entry 2 (id '', version '') skipped: The "
            "version string is empty."},
        check_case{"not_found", "1.0.0.0", answered(404),
                   "Cannot retreive the manifest. Error: [404, Not Found]"},
        check_case{"malformed_feed", "1.0.0.0", served("<feed><entry>"),
                   "MSXMLError: Cannot parse the xml-document:  [0x3]"},
        check_case{"plain_http_link_refused", "1.0.0.0",
                   served(feed(entry("2.0.0.0", "http://www.lumbrel.example/a.run"))),
                   "Cannot use the address 'http://www.lumbrel.example/a.run': not an https "
                   "address."},
        // Nothing listens there: a fetch would fail otherwise.
        check_case{"plain_http_feed_is_not_fetched", "1.0.0.0", service::reply(),
                   "Cannot use the address 'http://127.0.0.1:1/content/parvel.feed.xml': not an "
                   "https address.",
                   "http://127.0.0.1:1/content/parvel.feed.xml"}),
    test_support::row_name());

struct download_case {
  const char* name;
  // After the server's base address, unless it has a scheme of its own.
  std::string address;
  service::reply answer;
  std::string failure;
  std::size_t requests;
  // The installer's size as the feed gives it.
  std::uint64_t length = 0;
};

class update_download_failure : public update_road,
                                public testing::WithParamInterface<download_case> {};

TEST_P(update_download_failure, saves_nothing) {
  const auto& c = GetParam();
  server_.add_route({.path = "/files/setup.run", .respond = [&](const auto&) { return c.answer; }});
  const bool own_scheme = c.address.find("://") != std::string::npos;
  the_controller().start_update_download(own_scheme ? c.address : server_.base_url() + c.address,
                                         c.length);
  expect_failure("download", c.failure);
  EXPECT_EQ(saved_files(), strings{});
  EXPECT_EQ(server_.requests().size(), c.requests);
}

const std::string no_file_name = "Cannot save the package: the address names no file.";

INSTANTIATE_TEST_SUITE_P(
    answers, update_download_failure,
    testing::Values(
        download_case{"body_shorter_than_its_length", "/files/setup.run",
                      service::reply{.body = std::string(50000, 'x'), .cut_after = 20000},
                      "Failed to read data.: The connection with the server was terminated "
                      "abnormally (transfer closed with 30000 bytes remaining to read)",
                      1},
        // It ends when the connection closes: a cut there looks like its end.
        download_case{
            "body_of_undeclared_length",
            "/files/setup.run",
            {.raw = "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + std::string(50000, 'x')},
            "Cannot retreive the package: the answer does not declare its length.",
            1},
        download_case{"body_shorter_than_the_feeds_length", "/files/setup.run",
                      served(std::string(50000, 'x')),
                      "Cannot retreive the package: 50000 bytes arrived, the feed gives 60000.", 1,
                      60000},
        download_case{"not_found", "/files/setup.run", answered(404),
                      "Cannot retreive the package. Error: [404, Not Found]", 1},
        download_case{"plain_http_address", "http://127.0.0.1:1/files/setup.run", service::reply(),
                      "Cannot use the address 'http://127.0.0.1:1/files/setup.run': not an https "
                      "address.",
                      0},
        download_case{"folder_address", "/files/?name=setup.run", service::reply(), no_file_name,
                      0},
        download_case{"dot_dot_name", "/files/..", service::reply(), no_file_name, 0}),
    test_support::row_name());

// The page would show the error page's bytes as a finished download.
TEST_F(update_road, error_page_reports_no_progress) {
  server_.add_route("GET", "/files/setup.run", {.status = 404, .body = std::string(3000, 'x')});
  the_controller().start_update_download(server_.base_url() + "/files/setup.run");
  expect_failure("download", "Cannot retreive the package. Error: [404, Not Found]");
  EXPECT_EQ(recorder_.events(), strings{"download failed"});
}

TEST_F(update_road, canceled_download_saves_nothing) {
  server_.add_route("GET", "/files/setup.run",
                    {.body = std::string(1 << 20, 'x'),
                     .trickle_piece = 4096,
                     .trickle_pause = std::chrono::milliseconds(20)});
  // What has arrived is on the disk already, not held in memory.
  std::uintmax_t on_disk = 0;
  recorder_.on_first("progress ", [&] {
    for (const auto& file : fs::directory_iterator(parvel::get_installer_folder())) {
      on_disk += file.file_size();
    }
    the_controller().cancel_update_download();
  });
  the_controller().start_update_download(server_.base_url() + "/files/setup.run");
  expect_failure("download", "WinHTTP close pending....");
  EXPECT_GT(on_disk, 0U);
  EXPECT_EQ(saved_files(), strings{});
}

TEST_F(update_road, installer_takes_no_name_of_the_temp_folders_own_files) {
  const std::string lock = parvel::get_temp_folder() + "/.in-use";
  test_support::write_file(lock, "lock");
  server_.add_route("GET", "/files/.in-use", served("installer"));
  the_controller().start_update_download(server_.base_url() + "/files/.in-use");
  ASSERT_EQ(outcome(), "download saved " + parvel::get_installer_folder() + "/.in-use");
  EXPECT_EQ(test_support::read_file(lock), "lock");
}

TEST_F(update_road, install_without_a_file_fails) {
  the_controller().start_update_install(folder_.file("missing.run"));
  expect_failure("install", "Cannot create a child process.: No such file or directory");
  the_controller().start_update_install("");
  expect_failure("install", "Cannot start the installer: no path given.");
}

// Success ends the program: an opener that cannot open the installer must
// leave the user the running program and the offer.
TEST_F(update_road, install_fails_when_the_opener_fails_at_once) {
  const std::string installer = folder_.file("setup.run");
  test_support::write_file(installer, "x");
  const test_support::fake_opener failing("exit 4");
  the_controller().start_update_install(installer);
  expect_failure("install", "Cannot create a child process.: the opener exited with status 4");
  EXPECT_FALSE(failing.inherited_files().empty()) << "the opener ran";
}

}  // namespace
