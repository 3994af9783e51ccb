#pragma once

#include <QPushButton>

#include "ui/send/send_page.hpp"

namespace test_support {

// Shows a send page at a realistic size in its first state, as the canvas
// opens it.
inline void show_send_page(parvel::send_page& page) {
  page.resize(1000, 700);
  page.show();
  page.set_state(parvel::send_started);
}

// The page's button with control id `id`.
inline QPushButton* send_page_button(const parvel::send_page& page, int id) {
  return page.findChild<QPushButton*>(QStringLiteral("id_%1").arg(id));
}

}  // namespace test_support
