#pragma once

#include <QRgb>

namespace parvel {

// What the update page shows in each of its states: 1 update available,
// 2 update required, 3 downloading, 4 download failed, 5 installer failed.
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
  // Cancel steps left past Download & Install (1) or Retry (4).
  enum class cancel_shift { none, by_download, by_retry } shift;
  QRgb arrow;  // translucent green while things go well, red after a failure
};

// The state's row; nullptr for any other value (the page keeps what it shows).
const update_state_view* find_update_state(int state);

}  // namespace parvel
