#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>

#include "ui/send/progress_bar.hpp"
#include "ui/send/send_page_state.hpp"
#include "ui/send/send_progress.hpp"

namespace parvel {
namespace {

TEST(send_state, each_state_shows_its_controls) {
  struct row {
    int state;
    bool retrying;
    send_controls shown;
  };
  const row rows[] = {
      {send_started,
       false,
       {.cancel = true, .close = false, .retry = false, .amount_texts = false}},
      {send_uploading,
       false,
       {.cancel = true, .close = false, .retry = false, .amount_texts = true}},
      {send_succeeded,
       false,
       {.cancel = false, .close = true, .retry = false, .amount_texts = false}},
      {send_failed, false, {.cancel = false, .close = true, .retry = true, .amount_texts = false}},
      {send_canceled,
       false,
       {.cancel = false, .close = true, .retry = true, .amount_texts = false}},
      // Retry pressed: out of reach until a job reports.
      {send_failed, true, {.cancel = false, .close = true, .retry = false, .amount_texts = false}},
      {send_canceled,
       true,
       {.cancel = false, .close = true, .retry = false, .amount_texts = false}},
  };
  for (const row& r : rows) {
    EXPECT_EQ(send_state_controls(r.state, r.retrying), r.shown)
        << "state " << r.state << (r.retrying ? " retrying" : "");
  }
}

TEST(send_state, each_state_sets_its_texts) {
  struct row {
    int state;
    std::optional<std::string> header;
    std::optional<std::string> status;
    bool error_status;
  };
  const row rows[] = {
      {send_none, std::nullopt, std::nullopt, false},
      {send_started, "send_header", "send_start", false},
      {send_uploading, std::nullopt, std::nullopt, false},
      {send_succeeded, "send_header", "send_succeeded", false},
      {send_failed, "send_header", std::nullopt, true},
      {send_canceled, "send_header", "send_canceled", false},
      {9, std::nullopt, std::nullopt, false},
  };
  const auto text = [](const char* key) {
    return key ? std::optional<std::string>(key) : std::nullopt;
  };
  for (const row& r : rows) {
    const send_state_texts keys = send_state_text_keys(r.state);
    EXPECT_EQ(text(keys.header), r.header) << "state " << r.state;
    EXPECT_EQ(text(keys.status), r.status) << "state " << r.state;
    EXPECT_EQ(keys.error_status, r.error_status) << "state " << r.state;
  }
}

TEST(send_state, outcomes_renew_their_texts_when_repeated) {
  struct row {
    int current;
    int next;
    bool renews;
  };
  const row rows[] = {
      {send_none, send_started, true},         {send_started, send_started, false},
      {send_uploading, send_uploading, false}, {send_succeeded, send_succeeded, true},
      {send_failed, send_failed, true},        {send_canceled, send_canceled, true},
      {send_canceled, send_failed, true},      {send_failed, send_uploading, true},
  };
  for (const row& r : rows) {
    EXPECT_EQ(send_state_renews_texts(r.current, r.next), r.renews)
        << r.current << " -> " << r.next;
  }
}

TEST(send_layout, places_buttons_bar_and_texts_from_measured_sizes) {
  // Buttons: text + 64 wide, 1.5 x text high; Close 50 x 20 text -> 114 x 30.
  const send_page_measures m{.client = {1000, 700},
                             .cancel_text = {60, 20},
                             .close_text = {50, 20},
                             .retry_text = {40, 21},
                             .text_height = 15};
  const send_page_places started = send_page_layout(m, send_started);
  EXPECT_EQ(started.cancel, QRect(1000 - 16 - 124, 700 - 16 - 30, 124, 30));
  EXPECT_EQ(started.close, QRect(1000 - 16 - 114, 654, 114, 30));
  EXPECT_EQ(started.retry, QRect(1000 - 16 - 104, 700 - 16 - 31, 104, 31));
  EXPECT_EQ(started.bar, QRect(100, 335, 800, 30));
  EXPECT_EQ(started.amount, QRect(100, 335 + 30 + 16, 800, 18));
  EXPECT_EQ(started.time, QRect(100, 381 + 18 + 16, 800, 18));

  for (int state : {send_failed, send_canceled}) {
    const send_page_places p = send_page_layout(m, state);
    EXPECT_EQ(p.retry, started.retry.translated(-(114 + 16), 0)) << state;
    EXPECT_EQ(p.close, started.close) << state;
  }
}

TEST(send_layout, narrow_windows_give_no_negative_sizes) {
  for (const QSize client : {QSize(0, 0), QSize(10, 10), QSize(100, 40), QSize(1, 700)}) {
    const send_page_places p = send_page_layout({.client = client,
                                                 .cancel_text = {60, 20},
                                                 .close_text = {50, 20},
                                                 .retry_text = {40, 20},
                                                 .text_height = 15},
                                                send_failed);
    for (const QRect& r : {p.cancel, p.close, p.retry, p.bar, p.amount, p.time}) {
      EXPECT_GE(r.width(), 0) << client.width() << "x" << client.height();
      EXPECT_GE(r.height(), 0) << client.width() << "x" << client.height();
    }
    const send_page_text_areas a = send_page_text_layout(client, {41, 19});
    for (const QRect& r : {a.header, a.status}) {
      EXPECT_GE(r.width(), 0) << client.width() << "x" << client.height();
      EXPECT_GE(r.height(), 0) << client.width() << "x" << client.height();
    }
  }
}

TEST(send_layout, header_and_status_areas_keep_their_margins) {
  // "TEXT" 41 x 19: header in by 20 at the sides, 19 at top and bottom.
  const send_page_text_areas a = send_page_text_layout({800, 600}, {41, 19});
  EXPECT_EQ(a.header, QRect(20, 19, 760, 562));
  EXPECT_EQ(a.status, QRect(61, 19, 678, 562));
}

TEST(send_progress, bar_covers_archive_then_upload_and_only_success_fills_it) {
  struct row {
    const char* name;
    std::optional<float> archive;
    std::optional<float> upload;
  };
  const row rows[] = {
      {"start", archive_progress(0, 100), upload_progress(0, 100)},
      {"half", archive_progress(50, 100), upload_progress(50, 100)},
      {"done", archive_progress(100, 100), upload_progress(100, 100)},
      {"beyond the total", archive_progress(300, 100), upload_progress(300, 100)},
      {"total of 0", archive_progress(5, 0), upload_progress(5, 0)},
      {"4 GiB archive", archive_progress(std::uint64_t{3} << 30, std::uint64_t{1} << 32),
       upload_progress(0xFFFFFFFFu, 0xFFFFFFFFu)},
  };
  const std::optional<float> expected[][2] = {
      {0.0f, 0.5f},    {0.25f, 0.745f}, {0.5f, 0.99f}, {0.5f, 0.99f}, {std::nullopt, std::nullopt},
      {0.375f, 0.99f},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    SCOPED_TRACE(rows[i].name);
    ASSERT_EQ(rows[i].archive.has_value(), expected[i][0].has_value());
    ASSERT_EQ(rows[i].upload.has_value(), expected[i][1].has_value());
    if (expected[i][0]) {
      EXPECT_FLOAT_EQ(*rows[i].archive, *expected[i][0]);
      EXPECT_FLOAT_EQ(*rows[i].upload, *expected[i][1]);
      EXPECT_LT(*rows[i].upload, 1.0f);
    }
  }
}

TEST(send_progress, percent_is_truncated) {
  struct row {
    float value;
    const char* text;
  };
  const row rows[] = {{0.0f, "0 %"},   {0.5f, "50 %"},  {0.999f, "99 %"},
                      {0.99f, "99 %"}, {1.0f, "100 %"}, {0.0049f, "0 %"}};
  for (const row& r : rows) {
    EXPECT_EQ(progress_percent_text(r.value).toStdString(), r.text) << r.value;
  }
  // The upload's last report stays below 100 %.
  EXPECT_EQ(progress_percent_text(*upload_progress(7, 7)).toStdString(), "99 %");
}

TEST(send_progress, amount_in_whole_kib_then_the_unit) {
  const std::tuple<unsigned, unsigned, const char*, const char*> rows[] = {
      {512 * 1024, 2048 * 1024, "Kb", "512 / 2048 Kb"},
      {1023, 2047, "Kb", "0 / 1 Kb"},
      {0xFFFFFFFFu, 0xFFFFFFFFu, "Kb", "4194303 / 4194303 Kb"},
      {3 * 1024, 4 * 1024, "Ko", "3 / 4 Ko"},
  };
  for (const auto& [done, total, kb, text] : rows)
    EXPECT_EQ(progress_amount_text(done, total, kb).toStdString(), text);
}

TEST(send_progress, time_remaining_as_hours_minutes_seconds) {
  struct row {
    std::uint32_t ms;
    std::optional<std::string> text;
  };
  const row rows[] = {
      {0, std::nullopt},
      {999, "Time Remaining: 00:00:00"},
      {247000, "Time Remaining: 00:04:07"},
      {3600000 + 61000, "Time Remaining: 01:01:01"},
      {100 * 3600000u + 59999, "Time Remaining: 100:00:59"},
      {0xFFFFFFFFu, "Time Remaining: 1193:02:47"},
  };
  for (const row& r : rows) {
    EXPECT_EQ(time_remaining_text(r.ms, "Time Remaining:"), r.text) << r.ms;
  }
}

TEST(send_progress, estimate_from_the_recent_pace_with_what_a_proxy_may_hold) {
  struct step {
    unsigned sent;
    std::uint32_t now;
    std::uint32_t remaining;
    bool through_proxy = false;
  };
  struct row {
    const char* name;
    std::vector<step> steps;
  };
  const unsigned total = 1000;
  const row rows[] = {
      {"steady rate", {{100, 5000, 0}, {250, 6000, 3000}, {500, 8000, 3000}, {1000, 9000, 0}}},
      // After the last report the clock starts again at the next one.
      {"restarts after the last",
       {{100, 1000, 0}, {1000, 2000, 0}, {500, 7000, 0}, {750, 8000, 333}}},
      {"nothing sent yet", {{0, 1000, 0}, {0, 2000, 0}}},
      {"beyond the total", {{100, 1000, 0}, {2000, 2000, 0}, {100, 3000, 0}}},
      {"tick wraps", {{100, 0xFFFFFC18u, 0}, {200, 1000, 8000}}},
      {"beyond the tick's range", {{1, 1000, 0}, {2, 0xF0000000u, 0xFFFFFFFFu}}},
      // Only the last five seconds count here: a link that stops keeps the text.
      {"nothing left in the window", {{100, 1000, 0}, {500, 2000, 1000}, {500, 8000, 0}}},
      {"reports of one moment are one sample",
       {{100, 1000, 0}, {200, 2000, 4000}, {300, 2000, 2333}, {900, 8000, 1000}}},
      {"a body sent again starts again", {{500, 1000, 0}, {800, 2000, 250}, {100, 3000, 0}}},
      // A proxy takes half at once, then 50 a second, its uplink's pace, which
      // forwards all by 30 s; the rate since the start would read 2 s at 16 s.
      {"a burst then a steady pace through a proxy",
       {{10, 10000, 0, true},
        {500, 11000, 1000, true},
        {600, 13000, 2000, true},
        {750, 16000, 14000, true},
        {1000, 21000, 9000, true},
        {1000, 25000, 5000, true},
        {1000, 30000, 0, true},
        {1000, 31000, 0, true}}},
      // Past ten seconds the pace is the later half's: a fast patch at the
      // end moves it less than it would move the last five seconds' (12 s).
      {"a proxy's pace over the later half of a long upload",
       {{10, 1000, 0, true},
        {400, 2000, 1500, true},
        {500, 7000, 44000, true},
        {600, 12000, 39000, true},
        {700, 17000, 34000, true},
        {850, 22000, 21857, true}}},
      // It holds nothing it took at the pace it forwards: the text stays.
      {"a fast proxy after the last byte",
       {{100, 1000, 0, true},
        {500, 2000, 1000, true},
        {1000, 2500, 0, true},
        {1000, 3500, 0, true}}},
      // Seen from here it is a fast one: there is no countdown to its end.
      {"a proxy that takes all and never forwards",
       {{1000, 1000, 0, true}, {1000, 2000, 0, true}, {1000, 90000, 0, true}}},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.name);
    remaining_time_estimate estimate;
    for (const step& s : r.steps) {
      EXPECT_EQ(estimate.estimate(s.sent, total, s.now, s.through_proxy), s.remaining)
          << s.sent << " at " << s.now;
    }
  }
}

}  // namespace
}  // namespace parvel
