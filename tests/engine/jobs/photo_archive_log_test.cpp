#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/engine/jobs/archive_fixture.hpp"
#include "tests/support/log_capture.hpp"
#include "tests/support/unreadable_file.hpp"

namespace {

// The user sees the generic zipping failure; the log says what the system
// refused, so that a missing right is not taken for a vanished photo.
class photo_archive_log : public test_support::archive_test {
 protected:
  test_support::log_capture capture_;
};

TEST_F(photo_archive_log, unreadable_photo_is_logged_with_its_cause) {
  const std::string path = add_file("private.jpg", "data");
  {
    // The job's thread starts with this thread's lowered rights.
    const test_support::unreadable_file unreadable(path);
    archive();
  }
  EXPECT_EQ(recorder_.outcome(),
            "failed:6:We've encountered a problem zipping your photos. Please Try Again.");
  EXPECT_THAT(capture_.text(), testing::HasSubstr("photo_archive failed: 'cannot open the file '" +
                                                  path + "': Permission denied'"));
}

}  // namespace
