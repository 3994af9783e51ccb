#pragma once

#include <QPushButton>
#include <QTest>

#include "tests/support/widget_driver.hpp"
#include "ui/send/send_page.hpp"

namespace test_support {

// Shows a send page at a realistic size in its first state, as the canvas
// opens it, and waits until it can take clicks.
inline void show_send_page(parvel::send_page& page) {
  page.resize(1000, 700);
  page.show();
  page.set_state(parvel::send_started);
  QVERIFY(QTest::qWaitForWindowExposed(&page));
}

// The page's button with control id `id`.
inline QPushButton* send_page_button(const parvel::send_page& page, int id) {
  return control<QPushButton>(page, id);
}

}  // namespace test_support
