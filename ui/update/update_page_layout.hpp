#pragma once

#include <QRect>
#include <QSize>

namespace parvel {

struct update_state_view;

// Measured sizes the update page's children are placed from.
struct update_page_layout_input {
  QSize client;
  // Each button's text on one line in its font.
  QSize download;
  QSize cancel;
  QSize retry;
  QSize close;
  // "TEST" in the progress text's font.
  int progress_text_height = 0;
  // The link line's parts; an empty size for a part that is not made.
  QSize link_before;
  QSize link;
  QSize link_after;
};

struct update_page_layout {
  QRect download;
  QRect cancel;
  QRect retry;
  QRect close;
  QRect progress_bar;
  QRect progress_text;  // the right half under the bar
  QRect link_before;
  QRect link;
  QRect link_after;

  bool operator==(const update_page_layout&) const = default;
};

// Buttons in the bottom-right corner, Cancel stepping left past its
// neighbour in the states that show both; the bar centred at 80 % of the
// width; the downloaded size under its right half; the link line below.
update_page_layout layout_update_page(const update_page_layout_input& sizes,
                                      const update_state_view& state);

}  // namespace parvel
