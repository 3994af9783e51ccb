#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <memory>
#include <set>
#include <sstream>

#include "engine/controller/job_dispatch.hpp"
#include "engine/photos/local_date.hpp"
#include "engine/user/user.hpp"
#include "engine/user/user_config.hpp"
#include "tests/engine/road/send_road_fixture.hpp"
#include "tests/service/test_tools.hpp"
#include "tests/support/child_role.hpp"
#include "tests/support/image_codecs.hpp"

namespace {

namespace fs = std::filesystem;
using entries = std::map<std::string, std::string>;

constexpr const char* sender = "anna@x.example";

// One copy of the program: sends the photos of the folder given, as the user
// of the config file, to the service of the settings file, and prints the
// counter and archive name it used and how the send ended.
int send_a_copy(const std::vector<std::string>& arguments) {
  test_support::register_image_codecs();
  const auto package = parvel::user::instance()->get_package();
  package->sender = sender;
  package->recipients = {"bob@y.example"};
  package->subject = arguments.at(0);
  package->add_paths({arguments.at(0)});
  package->make_archive_name();
  test_support::job_recorder recorder(test_support::the_controller());
  test_support::the_controller().start_photo_archive(package);
  bool ended = recorder.wait_for_end();
  if (ended && recorder.outcome() == "succeeded") {
    test_support::the_controller().start_photo_upload(package);
    ended = recorder.wait_for_end();
  }
  std::cout << package->counter << ' ' << package->archive_name << ' '
            << (ended ? recorder.outcome() : "no end") << std::endl;
  // As the program's exit does: no job thread outlives main.
  return parvel::cancel_all_jobs_and_wait(std::chrono::minutes(1)) ? 0 : 1;
}

const test_support::child_role copy_role("send_a_copy", send_a_copy);

struct copy_report {
  std::int32_t counter = -1;
  std::string archive_name;
  std::string outcome;
};

copy_report parse_report(const std::string& line) {
  copy_report report;
  std::istringstream words(line);
  words >> report.counter >> report.archive_name >> std::ws;
  std::getline(words, report.outcome);
  return report;
}

class two_copies : public test_support::send_road {
 protected:
  // A folder of count incompressible photos named after the copy; its files.
  entries make_photos(const std::string& copy, int count) {
    entries photos;
    fs::create_directory(folder_.path() / copy);
    for (int i = 0; i < count; ++i) {
      const std::string name = copy + "-" + std::to_string(i) + ".jpg";
      photos[name] =
          test_support::random_data(1 << 20, static_cast<unsigned>(copy.size() * 100 + i));
      test_support::write_file((folder_.path() / copy / name).string(), photos[name]);
    }
    return photos;
  }
};

// Two sessions of one user share the temp folder and start from one stored
// counter: every send that reports success must have sent an archive that
// reads whole, holding its own photos.
TEST_F(two_copies, sending_at_once_from_one_temp_folder_each_send_their_own_archive) {
  const std::vector<entries> photos{make_photos("first", 12), make_photos("second", 11)};
  parvel::user_config stored;
  stored.email = sender;
  stored.value = 7;
  parvel::save_config(stored);
  const test_support::temp_folder shared;
  const test_support::scoped_env tmpdir("TMPDIR", shared.path().string());

  std::vector<std::unique_ptr<test_support::running_program>> copies;
  for (const char* copy : {"first", "second"}) {
    copies.push_back(std::make_unique<test_support::running_program>(
        test_support::child_role_command("send_a_copy", {folder_.file(copy)})));
  }
  std::vector<copy_report> reports;
  for (const auto& copy : copies) {
    const std::optional<std::string> line = copy->read_line(std::chrono::minutes(3));
    ASSERT_TRUE(line) << "a copy told nothing";
    reports.push_back(parse_report(*line));
    EXPECT_EQ(copy->wait(std::chrono::minutes(1)), 0);
  }

  const std::string stem = "anna-" + parvel::today_iso_date() + "-";
  std::set<std::string> names;
  for (const copy_report& report : reports) {
    EXPECT_EQ(report.outcome, "upload_succeeded");
    EXPECT_EQ(report.archive_name, stem + std::to_string(report.counter) + ".zip");
    names.insert(report.archive_name);
  }
  EXPECT_EQ(names, (std::set<std::string>{stem + "7.zip", stem + "8.zip"}));

  // Whose photos each package posted holds, byte for byte.
  std::vector<std::string> sent;
  for (const fs::directory_entry& media : fs::directory_iterator(data_.path())) {
    if (fs::exists(media.path() / "package.xml")) {
      const entries archive = test_support::read_archive((media.path() / "archive.zip").string());
      sent.push_back(archive == photos[0] ? "first"
                     : archive == photos[1]
                         ? "second"
                         : std::to_string(archive.size()) + " entries of neither");
    }
  }
  std::sort(sent.begin(), sent.end());
  EXPECT_EQ(sent, (std::vector<std::string>{"first", "second"}));
}

}  // namespace
