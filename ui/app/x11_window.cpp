#include "ui/app/x11_window.hpp"

#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QWidget>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace parvel {

namespace {

xcb_connection_t* x11_connection() {
  const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  return x11 ? x11->connection() : nullptr;
}

template <typename T>
using xcb_reply = std::unique_ptr<T, decltype(&std::free)>;

xcb_atom_t atom_named(xcb_connection_t* connection, const char* name) {
  const xcb_reply<xcb_intern_atom_reply_t> reply(
      xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, std::strlen(name), name),
                            nullptr),
      &std::free);
  return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

}  // namespace

bool iconified_unseen(const QWidget& window) {
  xcb_connection_t* connection = x11_connection();
  if (connection == nullptr || !window.isVisible() || window.isMinimized() ||
      !window.testAttribute(Qt::WA_WState_Created)) {
    return false;
  }
  const auto id = static_cast<xcb_window_t>(window.winId());
  const xcb_reply<xcb_get_window_attributes_reply_t> attributes(
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

void request_activation_on_x11(const QWidget& window, std::uint32_t time) {
  xcb_connection_t* connection = x11_connection();
  if (connection == nullptr || !window.testAttribute(Qt::WA_WState_Created)) {
    return;
  }
  const auto id = static_cast<xcb_window_t>(window.winId());
  const xcb_reply<xcb_query_tree_reply_t> tree(
      xcb_query_tree_reply(connection, xcb_query_tree(connection, id), nullptr), &std::free);
  const xcb_atom_t active_window = atom_named(connection, "_NET_ACTIVE_WINDOW");
  if (!tree || active_window == XCB_ATOM_NONE) {
    return;
  }
  xcb_client_message_event_t request{};
  request.response_type = XCB_CLIENT_MESSAGE;
  request.format = 32;
  request.window = id;
  request.type = active_window;
  request.data.data32[0] = 1;  // the source: an application
  request.data.data32[1] = time;
  request.data.data32[2] = XCB_WINDOW_NONE;  // no window of ours is active
  xcb_send_event(connection, 0, tree->root,
                 XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                 reinterpret_cast<const char*>(&request));
  xcb_flush(connection);
}

std::uint32_t x11_server_time() {
  // Not Qt's connection: its event thread would take the notice.
  int screen_number = 0;
  const std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)> own(
      xcb_connect(nullptr, &screen_number), &xcb_disconnect);
  xcb_connection_t* connection = own.get();
  if (xcb_connection_has_error(connection)) {
    return 0;
  }
  xcb_screen_iterator_t screen = xcb_setup_roots_iterator(xcb_get_setup(connection));
  for (int i = 0; i < screen_number && screen.rem > 0; ++i) {
    xcb_screen_next(&screen);
  }
  if (screen.rem == 0) {
    return 0;
  }
  const xcb_window_t window = xcb_generate_id(connection);
  const std::uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
  xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, screen.data->root, 0, 0, 1, 1, 0,
                    XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &events);
  // Appending nothing changes no value, but the server notes the change.
  xcb_change_property(connection, XCB_PROP_MODE_APPEND, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING,
                      8, 0, nullptr);
  xcb_flush(connection);
  // The connection's end destroys the window. An error instead of the notice:
  // none comes.
  while (xcb_generic_event_t* event = xcb_wait_for_event(connection)) {
    const xcb_reply<xcb_generic_event_t> owned(event, &std::free);
    const std::uint8_t kind = event->response_type & 0x7f;
    if (kind == XCB_PROPERTY_NOTIFY) {
      return reinterpret_cast<const xcb_property_notify_event_t*>(event)->time;
    }
    if (kind == 0) {
      return 0;
    }
  }
  return 0;
}

}  // namespace parvel
