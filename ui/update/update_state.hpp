#pragma once

#include <QRgb>

namespace parvel {

// The states of the update page: 0 before the canvas sets the first.
enum update_state : int {
  update_none = 0,
  update_available = 1,
  update_required = 2,
  update_downloading = 3,
  update_download_failed = 4,
  update_install_failed = 5
};

// What the update page shows in each of its states.
struct update_state_view {
  const char* header_id;
  const char* body_id;
  bool download;  // Download & Install
  bool cancel;
  bool retry;
  bool close;
  bool progress;   // the bar and the downloaded size
  bool link_line;  // the way to the maker's web site
  bool notes;      // the release-notes panel
  // Cancel steps left past Download & Install or Retry.
  enum class cancel_shift { none, by_download, by_retry } shift;
  QRgb arrow;  // translucent green while things go well, red after a failure
};

// The state's row; nullptr for any other value (the page keeps what it shows).
const update_state_view* find_update_state(int state);

}  // namespace parvel
