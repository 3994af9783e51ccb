#include "ui/app/x11_window.hpp"

#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QWidget>
#include <cstdlib>
#include <memory>

namespace parvel {

namespace {

xcb_connection_t* x11_connection() {
  const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  return x11 ? x11->connection() : nullptr;
}

}  // namespace

bool iconified_unseen(const QWidget& window) {
  xcb_connection_t* connection = x11_connection();
  if (connection == nullptr || !window.isVisible() || window.isMinimized() ||
      !window.testAttribute(Qt::WA_WState_Created)) {
    return false;
  }
  const auto id = static_cast<xcb_window_t>(window.winId());
  const std::unique_ptr<xcb_get_window_attributes_reply_t, decltype(&std::free)> attributes(
      xcb_get_window_attributes_reply(connection, xcb_get_window_attributes(connection, id),
                                      nullptr),
      &std::free);
  return attributes && attributes->map_state == XCB_MAP_STATE_UNMAPPED;
}

void map_on_x11(const QWidget& window) {
  if (xcb_connection_t* connection = x11_connection()) {
    xcb_map_window(connection, static_cast<xcb_window_t>(window.winId()));
    xcb_flush(connection);
  }
}

}  // namespace parvel
