#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <future>

#include "core/scoped_handle.hpp"
#include "core/shell_open.hpp"
#include "engine/app/application.hpp"
#include "engine/controller/controller.hpp"
#include "engine/photos/temp_folder.hpp"
#include "tests/engine/jobs/update_recorder.hpp"
#include "tests/service/test_tools.hpp"
#include "tests/support/log_capture.hpp"
#include "tests/support/table.hpp"
#include "tools/service/server.hpp"

namespace {

namespace fs = std::filesystem;
using strings = std::vector<std::string>;

parvel::controller& the_controller() {
  return *parvel::application::instance()->controller();
}
parvel::application_settings& settings() {
  return *parvel::application::instance()->settings();
}

constexpr char feed_path[] = "/content/parvel.feed.xml";

std::string entry(const std::string& version, const std::string& href,
                  const std::string& platform = "X86") {
  return "<entry><title>Lumbrel Send Photo " + version + "</title><u:version>" + version +
         "</u:version><u:status type='critical'/><link rel='enclosure' platform='" + platform +
         "' href='" + href + "'/></entry>";
}

std::string feed(const std::string& entries) {
  return "<feed xmlns='http://www.w3.org/2005/Atom' "
         "xmlns:u='http://www.lumbrel.example/schemas/appsyndication/2009'>"
         "<title>Lumbrel Send Photo</title>" +
         entries + "</feed>";
}

// The update feed and files served over HTTPS by a CA of the test's own; the
// desktop's opener replaced by a script that writes its arguments to a FIFO.
class update_road : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    certificates_ = std::make_unique<test_support::test_certificates>();
  }
  static void TearDownTestSuite() { certificates_.reset(); }

  update_road() {
    settings().feed_url = server_.base_url() + feed_path;
    core::parse_version_string("1.2.9.9", settings().version);
    fs::remove_all(parvel::get_temp_folder());

    const fs::path fifo = folder_.path() / "opened";
    EXPECT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    opened_.reset(::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    const fs::path opener = folder_.path() / "opener";
    std::ofstream(opener) << "#!/bin/sh\nprintf '%s|%s' \"$#\" \"$1\" > '" << fifo.string()
                          << "'\n";
    fs::permissions(opener, fs::perms::owner_all);
    core::set_shell_open_program(opener.string());
  }
  ~update_road() override { core::set_shell_open_program("xdg-open"); }

  // "<argument count>|<first argument>" of the opener's run.
  std::string opened() {
    pollfd ready{opened_.get(), POLLIN, 0};
    if (::poll(&ready, 1, 20000) != 1) {
      return "nothing opened";
    }
    char buffer[1024];
    const ssize_t count = ::read(opened_.get(), buffer, sizeof buffer);
    return std::string(buffer, static_cast<std::size_t>(std::max<ssize_t>(count, 0)));
  }

  // The files in the private temporary folder.
  static strings saved_files() {
    strings names;
    for (const auto& file : fs::directory_iterator(parvel::get_temp_folder())) {
      names.push_back(file.path().filename().string());
    }
    return names;
  }

  bool logged(const std::string& message) const {
    const strings lines = log_.lines();
    return std::find(lines.begin(), lines.end(), "parvel [error] - " + message) != lines.end();
  }

  inline static std::unique_ptr<test_support::test_certificates> certificates_;
  test_support::scoped_env bundle_{"SSL_CERT_FILE", certificates_->ca_file()};
  service::server server_{{certificates_->certificate_file(), certificates_->key_file()}};
  test_support::temp_folder folder_;
  core::scoped_handle opened_;
  test_support::log_capture log_;
  test_support::update_recorder recorder_{the_controller()};
};

TEST_F(update_road, newer_feed_downloads_and_starts_the_installer) {
  const std::string installer = test_support::pattern(100000);
  const std::string href = server_.base_url() + "/files/setup.run?channel=beta#notes";
  server_.add_route("GET", feed_path, {.body = feed(entry("1.2.10.0", href))});
  server_.add_route("GET", "/files/setup.run", {.body = installer});
  // An older download of that name is replaced, and a link there is not followed.
  const std::string saved = parvel::get_temp_folder() + "/setup.run";
  const std::string elsewhere = folder_.file("elsewhere");
  test_support::write_file(elsewhere, "keep");
  fs::create_symlink(elsewhere, saved);

  the_controller().start_update_check();
  ASSERT_EQ(recorder_.wait_for("check "), "check newer 1.2.10.0 " + href);
  EXPECT_EQ(recorder_.enclosure().status, "critical");
  the_controller().start_update_download(recorder_.enclosure().href);
  ASSERT_EQ(recorder_.wait_for("download "), "download saved " + saved);
  EXPECT_EQ(recorder_.events().end()[-2], "progress 100000/100000");
  EXPECT_FALSE(fs::is_symlink(saved));
  EXPECT_EQ(test_support::read_file(saved), installer);
  EXPECT_EQ(test_support::read_file(elsewhere), "keep");
  EXPECT_EQ(fs::status(saved).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);
  the_controller().start_update_install(saved);
  EXPECT_EQ(recorder_.wait_for("install "), "install started");
  EXPECT_EQ(opened(), "1|" + saved);
}

struct check_case {
  const char* name;
  const char* installed;
  service::reply answer;
  std::string outcome;
  // Logged as an error, without the "update_check failed: '...'" around it.
  std::string failure;
};

class update_check_outcome : public update_road, public testing::WithParamInterface<check_case> {};

TEST_P(update_check_outcome, is_relayed_and_logged) {
  const auto& c = GetParam();
  core::parse_version_string(c.installed, settings().version);
  server_.add_route("GET", feed_path, c.answer);
  the_controller().start_update_check();
  EXPECT_EQ(recorder_.wait_for("check "), c.outcome);
  if (!c.failure.empty()) {
    EXPECT_TRUE(logged("update_check failed: '" + c.failure + "'")) << log_.text();
  }
}

const std::string a_run = "https://www.lumbrel.example/a.run";
const std::string b_run = "https://www.lumbrel.example/b.run";

INSTANTIATE_TEST_SUITE_P(
    feeds, update_check_outcome,
    testing::Values(
        check_case{"equal_version_is_no_update",
                   "1.2.3.4",
                   {.body = feed(entry("1.2.3.4", a_run))},
                   "check not newer 1.2.3.4 " + a_run,
                   ""},
        check_case{"versions_compare_as_numbers",
                   "1.2.9.9",
                   {.body = feed(entry("1.2.10.0", a_run))},
                   "check newer 1.2.10.0 " + a_run,
                   ""},
        check_case{"highest_x86_offer_first_of_equals",
                   "1.0.0.0",
                   {.body = feed(entry("3.0.0.0", b_run, "x86") + entry("1.5.0.0", b_run) +
                                 entry("2.0.0.0", a_run) + entry("2.0.0.0", b_run))},
                   "check newer 2.0.0.0 " + a_run,
                   ""},
        check_case{"not_found",
                   "1.0.0.0",
                   {.status = 404},
                   "check failed",
                   "Cannot retreive the manifest. Error: [404, Not Found]"},
        check_case{"malformed_feed",
                   "1.0.0.0",
                   {.body = "<feed><entry>"},
                   "check failed",
                   "MSXMLError: Cannot parse the xml-document:  [0x3]"},
        check_case{"plain_http_link_refused",
                   "1.0.0.0",
                   {.body = feed(entry("2.0.0.0", "http://www.lumbrel.example/a.run"))},
                   "check failed",
                   "Cannot use the address 'http://www.lumbrel.example/a.run': not an https "
                   "address."},
        check_case{"no_x86_offer",
                   "1.0.0.0",
                   {.body = feed(entry("2.0.0.0", a_run, "ARM"))},
                   "check failed",
                   "No update enclosure found."},
        check_case{"entry_without_version",
                   "1.0.0.0",
                   {.body = feed(entry("", a_run))},
                   "check failed",
                   "The version string is empty."}),
    test_support::row_name());

TEST_F(update_road, feed_only_from_a_trusted_https_server) {
  server_.add_route("GET", feed_path, {.body = feed(entry("2.0.0.0", a_run))});
  settings().feed_url = "http://127.0.0.1:" + std::to_string(server_.port()) + feed_path;
  the_controller().start_update_check();
  EXPECT_EQ(recorder_.wait_for("check "), "check failed");

  settings().feed_url = server_.base_url() + feed_path;
  const test_support::scoped_env system_store("SSL_CERT_FILE", "");
  the_controller().start_update_check();
  EXPECT_EQ(recorder_.wait_for("check failed"), "check failed");
  EXPECT_TRUE(
      logged("update_check failed: 'Cannot send the WinHTTP request.: A security error "
             "occurred while checking the server's certificate'"))
      << log_.text();
  EXPECT_TRUE(server_.requests().empty());
}

struct download_case {
  const char* name;
  // After the server's base address, unless it starts with a scheme.
  std::string address;
  service::reply answer;
  std::string failure;
  std::size_t requests;
};

class update_download_failure : public update_road,
                                public testing::WithParamInterface<download_case> {};

TEST_P(update_download_failure, saves_nothing) {
  const auto& c = GetParam();
  server_.add_route({.path = "/files/setup.run", .respond = [&](const auto&) { return c.answer; }});
  const bool absolute = c.address.find("://") != std::string::npos;
  the_controller().start_update_download(absolute ? c.address : server_.base_url() + c.address);
  EXPECT_EQ(recorder_.wait_for("download "), "download failed");
  EXPECT_TRUE(logged("update_download failed: '" + c.failure + "'")) << log_.text();
  EXPECT_EQ(saved_files(), strings{});
  EXPECT_EQ(server_.requests().size(), c.requests);
}

const std::string no_file_name = "Cannot save the package: the address names no file.";

INSTANTIATE_TEST_SUITE_P(
    answers, update_download_failure,
    testing::Values(
        download_case{"body_shorter_than_its_length",
                      "/files/setup.run",
                      {.body = std::string(50000, 'x'), .cut_after = 20000},
                      "Failed to read data.: The connection with the server was terminated "
                      "abnormally",
                      1},
        download_case{"not_found",
                      "/files/setup.run",
                      {.status = 404},
                      "Cannot retreive the package. Error: [404, Not Found]",
                      1},
        download_case{"plain_http_address",
                      "http://127.0.0.1:1/files/setup.run",
                      {},
                      "Cannot use the address 'http://127.0.0.1:1/files/setup.run': not an https "
                      "address.",
                      0},
        download_case{"folder_address", "/files/?name=setup.run", {}, no_file_name, 0},
        download_case{"dot_name", "/files/.", {}, no_file_name, 0},
        download_case{"dot_dot_name", "/files/..", {}, no_file_name, 0}),
    test_support::row_name());

TEST_F(update_road, canceled_download_saves_nothing) {
  server_.add_route("GET", "/files/setup.run",
                    {.body = std::string(1 << 20, 'x'),
                     .trickle_piece = 4096,
                     .trickle_pause = std::chrono::milliseconds(20)});
  std::promise<void> receiving;
  recorder_.on_first("progress ", [&] { receiving.set_value(); });
  the_controller().start_update_download(server_.base_url() + "/files/setup.run");
  receiving.get_future().wait();
  the_controller().cancel_update_download();
  EXPECT_EQ(recorder_.wait_for("download "), "download failed");
  EXPECT_TRUE(logged("update_download failed: 'WinHTTP close pending....'")) << log_.text();
  EXPECT_EQ(saved_files(), strings{});
}

TEST_F(update_road, install_without_a_file_fails) {
  for (const auto& [path, failure] :
       {std::pair<std::string, std::string>{folder_.file("missing.run"),
                                            "Cannot create a child process.: No such file or "
                                            "directory"},
        {"", "Cannot start the installer: no path given."}}) {
    SCOPED_TRACE(path);
    the_controller().start_update_install(path);
    EXPECT_EQ(recorder_.wait_for("install "), "install failed");
    EXPECT_TRUE(logged("update_install failed: '" + failure + "'")) << log_.text();
  }
}

}  // namespace
