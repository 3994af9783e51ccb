#include "core/log/logger.hpp"

#include <gtest/gtest.h>

#include <iostream>
#include <sstream>
#include <thread>
#include <vector>

#include "tests/support/expect_error.hpp"
#include "tests/support/log_capture.hpp"

namespace {

namespace sev = core::log::severity;

struct logger_with_sink {
  explicit logger_with_sink(int max_severity = sev::all) {
    logger.set_formatters(core::log::standard_chain());
    logger.set_flush(true);
    auto sink = core::log::make_sink(out = new std::ostringstream);
    sink.max_severity = max_severity;
    logger.add_sink(sink);
  }
  core::log::logger logger;
  std::ostringstream* out;  // owned by the sink record
};

TEST(logger, lines_have_the_exact_bytes_and_the_sink_level_filters) {
  logger_with_sink all;
  logger_with_sink warnings(sev::warning);
  for (int s = sev::error; s <= sev::debug; ++s) {
    all.logger.write(s, s == sev::info ? "" : "m");
    warnings.logger.write(s, "m");
  }
  EXPECT_EQ(all.out->str(),
            "parvel [error] - m\r\nparvel [warning] - m\r\nparvel [info] - \r\n"
            "parvel [debug] - m\r\n");
  EXPECT_EQ(warnings.out->str(), "parvel [error] - m\r\nparvel [warning] - m\r\n");
}

TEST(logger, unknown_severity_throws_and_releases_the_lock) {
  logger_with_sink l;
  test_support::expect_error<std::runtime_error>([&] { l.logger.write(0, "m"); },
                                                 "severity type is unknown.");
  l.logger.write(sev::info, "after");  // would deadlock if the lock were still held
  l.logger.write(6, "dropped: above the maximum");
  EXPECT_EQ(l.out->str(), "parvel [info] - after\r\n");
}

TEST(logger, without_sink_or_disabled_writes_nothing) {
  core::log::logger bare;
  bare.set_formatters(core::log::standard_chain());
  bare.write(sev::error, "nowhere");
  logger_with_sink l;
  l.logger.set_enabled(false);
  l.logger.write(sev::error, "m");
  EXPECT_EQ(l.out->str(), "");
}

TEST(logger, lines_from_many_threads_never_interleave) {
  logger_with_sink l;
  constexpr int thread_count = 8;
  constexpr int lines_per_thread = 200;
  std::vector<std::thread> threads;
  for (int t = 0; t < thread_count; ++t) {
    threads.emplace_back([&, t] {
      const std::string message(40, static_cast<char>('a' + t));
      for (int i = 0; i < lines_per_thread; ++i) {
        l.logger.write(sev::debug, message);
      }
    });
  }
  for (auto& t : threads) {
    t.join();
  }
  std::istringstream in(l.out->str());
  int count = 0;
  for (std::string line; std::getline(in, line); ++count) {
    ASSERT_EQ(line.size(), 58u) << line;
    EXPECT_EQ(line, "parvel [debug] - " + std::string(40, line[17]) + "\r");
  }
  EXPECT_EQ(count, thread_count * lines_per_thread);
}

TEST(logger, sink_records_borrow_standard_streams) {
  { const core::log::sink_record sink = core::log::make_sink(&std::cerr); }
  std::cerr.flush();
  EXPECT_TRUE(std::cerr.good());
}

TEST(logger, global_lines_format_their_arguments) {
  test_support::log_capture capture;
  core::log::write(sev::debug, "SIGNAL: on_photo_upload_progress(%u, %u)", 5u, 4294967296ull);
  core::log::write(sev::info, "path %s", std::string("/tmp/100%.jpg"));
  EXPECT_EQ(capture.lines(), (std::vector<std::string>{
                                 "parvel [debug] - SIGNAL: on_photo_upload_progress(5, 4294967296)",
                                 "parvel [info] - path /tmp/100%.jpg"}));
}

}  // namespace
