#pragma once

#include <QRect>
#include <QSize>

namespace parvel {

// The states of a send page: 0 before the canvas sets 1.
enum send_state : int {
  send_none = 0,
  send_started = 1,
  send_uploading = 2,
  send_succeeded = 3,
  send_failed = 4,
  send_canceled = 5
};

// What a state shows; the progress bar always.
struct send_controls {
  bool cancel;
  bool close;
  bool retry;
  bool amount_texts;  // the uploaded amount and the time remaining

  bool operator==(const send_controls&) const = default;
};

// retrying: Retry was pressed and no job has reported the outcome yet; Retry
// stays out of reach so that a second press starts no second pair of jobs.
send_controls send_state_controls(int state, bool retrying);

// The localization keys a state sets: header and status. The status of a
// failure is the error's own text (error_status). Other states set nothing.
struct send_state_texts {
  const char* header = nullptr;  // null: the texts stay as they are
  const char* status = nullptr;
  bool error_status = false;
};
send_state_texts send_state_text_keys(int state);

// Whether setting a state renews its texts: on a change, and for the outcomes
// (3 to 5) also when the state stays, so that a retried send's new failure
// is shown.
bool send_state_renews_texts(int current, int next);

// The measured sizes the page's controls are placed from.
struct send_page_measures {
  QSize client;
  QSize cancel_text;
  QSize close_text;
  QSize retry_text;
  int text_height;  // of "W" in the amount text's font
};

struct send_page_places {
  QRect cancel;
  QRect close;
  QRect retry;
  QRect bar;
  QRect amount;
  QRect time;

  bool operator==(const send_page_places&) const = default;
};

// Buttons 16 pixels in from the right and bottom edges (Retry left of Close
// when both show), the bar 80 % wide and as high as Cancel in the middle, the
// two texts under it. Sizes never go below 0.
send_page_places send_page_layout(const send_page_measures& m, int state);

// The header's rectangle inside the client area (in by half of the "TEXT"
// width at the sides and by its height at the top and bottom) and the
// status's (in by a further full width at the sides); never negative.
struct send_page_text_areas {
  QRect header;
  QRect status;
};
send_page_text_areas send_page_text_layout(QSize client, QSize text_size);

}  // namespace parvel
