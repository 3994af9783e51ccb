#include <signal.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/service/service_client.hpp"
#include "tests/service/test_tools.hpp"
#include "tests/support/temp_folder.hpp"

namespace {

using namespace std::chrono_literals;

constexpr auto wait_limit = 20s;

TEST(service_program, serves_a_send_and_the_feed_until_terminated) {
  const test_support::test_certificates certificates;
  const test_support::temp_folder folder;
  std::filesystem::create_directory(folder.path() / "feed");
  test_support::write_file(folder.file("feed/parvel.feed.xml"), "<feed/>");
  test_support::running_program program(
      {LUMBREL_SERVICE_PROGRAM, "--port", "0", "--cert", certificates.certificate_file(), "--key",
       certificates.key_file(), "--data", folder.file("data"), "--feed", folder.file("feed")});

  const auto base = program.read_line(wait_limit);
  const auto feed = program.read_line(wait_limit);
  ASSERT_TRUE(base && feed);
  EXPECT_THAT(*base, testing::MatchesRegex("https://127\\.0\\.0\\.1:[0-9]+/desktopserver"));
  EXPECT_EQ(*feed, base->substr(0, base->rfind('/')) + "/content/parvel.feed.xml");

  test_support::service_client client(certificates.ca_file());
  test_support::send_data send;
  send.archive = test_support::pattern(5000);
  send.subject = "\"Quoted\" \\ slash";
  EXPECT_EQ(test_support::send_through(client, *base, send),
            (std::vector<std::string>{"media 200", "ticket 200", "archive 200", "package 200"}));
  EXPECT_EQ(
      program.read_line(wait_limit),
      R"(package from "ann@example.com" to "bob@example.com"; subject "\"Quoted\" \\ slash"; )"
      R"(archive "Photos 1.zip" (5000 bytes))");
  EXPECT_EQ(client.get(*feed).body, "<feed/>");
  EXPECT_EQ(test_support::read_file(folder.file("data/1/archive.zip")), send.archive);

  program.signal(SIGTERM);
  EXPECT_EQ(program.wait(wait_limit), 0);
}

TEST(service_program, refuses_bad_arguments_with_the_reason) {
  const struct {
    std::vector<std::string> arguments;
    int exit_code;
    std::string first_line;
  } cases[] = {
      {{"--data", "/tmp", "--port", "65536"},
       2,
       "lumbrel-service: --port takes a number from 0 to 65535, not '65536'"},
      {{"--data", "/tmp", "--cert", "a.pem"}, 2, "lumbrel-service: --cert and --key go together"},
      {{"--data", "/tmp", "--cert", "/nonexistent.pem", "--key", "/nonexistent.key"},
       1,
       "lumbrel-service: cannot read '/nonexistent.pem'"}};
  for (const auto& c : cases) {
    std::vector<std::string> arguments = {LUMBREL_SERVICE_PROGRAM};
    arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
    const auto result = test_support::run_tool(arguments, true);
    EXPECT_EQ(result.exit_code, c.exit_code) << c.first_line;
    EXPECT_EQ(result.output.substr(0, result.output.find('\n')), c.first_line);
  }
}

}  // namespace
