// lumbrel-x-helper: what tests and benchmarks of the program need from an X
// server that xdotool cannot give (it polls every 0.5 s and closes no window).
//
//   lumbrel-x-helper watch-map TIMEOUT_MS [COUNT]
//     Prints "ready" once it listens, then for each top-level window mapped
//     "mapped <window> <pid> <monotonic ns>" (pid 0 when the window names
//     none), until COUNT windows (default 1) were mapped. Exit 1 on time-out.
//   lumbrel-x-helper close WINDOW
//     Asks the window to close as a window manager does (WM_DELETE_WINDOW).
#include <poll.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

struct connection_closer {
  void operator()(xcb_connection_t* c) const { xcb_disconnect(c); }
};
using connection = std::unique_ptr<xcb_connection_t, connection_closer>;

connection connect_display() {
  connection c(xcb_connect(nullptr, nullptr));
  if (xcb_connection_has_error(c.get())) {
    std::fprintf(stderr, "cannot connect to the X server\n");
    std::exit(2);
  }
  return c;
}

xcb_screen_t* first_screen(xcb_connection_t* c) {
  return xcb_setup_roots_iterator(xcb_get_setup(c)).data;
}

xcb_atom_t intern(xcb_connection_t* c, const char* name) {
  const auto cookie = xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
  std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
      xcb_intern_atom_reply(c, cookie, nullptr), &std::free);
  return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

std::uint32_t window_pid(xcb_connection_t* c, xcb_window_t window) {
  const auto cookie =
      xcb_get_property(c, 0, window, intern(c, "_NET_WM_PID"), XCB_ATOM_CARDINAL, 0, 1);
  std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
      xcb_get_property_reply(c, cookie, nullptr), &std::free);
  if (!reply || xcb_get_property_value_length(reply.get()) != 4) {
    return 0;
  }
  return *static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
}

long long monotonic_ns() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

int watch_map(long timeout_ms, int count) {
  const connection c = connect_display();
  xcb_screen_t* screen = first_screen(c.get());
  const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
  xcb_change_window_attributes(c.get(), screen->root, XCB_CW_EVENT_MASK, &mask);
  // The round trip makes sure the server applied the mask before "ready".
  free(xcb_get_input_focus_reply(c.get(), xcb_get_input_focus(c.get()), nullptr));
  std::printf("ready\n");
  std::fflush(stdout);

  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  pollfd watched{xcb_get_file_descriptor(c.get()), POLLIN, 0};
  while (count > 0) {
    while (xcb_generic_event_t* event = xcb_poll_for_event(c.get())) {
      const std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> owned(event, &std::free);
      if ((event->response_type & 0x7F) != XCB_MAP_NOTIFY) {
        continue;
      }
      const auto* map = reinterpret_cast<const xcb_map_notify_event_t*>(event);
      if (map->override_redirect) {
        continue;  // menus, tooltips: not a top-level window of the program
      }
      const long long at = monotonic_ns();
      std::printf("mapped %u %u %lld\n", map->window, window_pid(c.get(), map->window), at);
      std::fflush(stdout);
      if (--count == 0) {
        return 0;
      }
    }
    if (xcb_connection_has_error(c.get())) {
      std::fprintf(stderr, "the X server closed the connection\n");
      return 2;
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      std::printf("timeout\n");
      return 1;
    }
    poll(&watched, 1, static_cast<int>(left.count()));
  }
  return 0;
}

int close_window(xcb_window_t window) {
  const connection c = connect_display();
  xcb_client_message_event_t message{};
  message.response_type = XCB_CLIENT_MESSAGE;
  message.format = 32;
  message.window = window;
  message.type = intern(c.get(), "WM_PROTOCOLS");
  message.data.data32[0] = intern(c.get(), "WM_DELETE_WINDOW");
  message.data.data32[1] = XCB_CURRENT_TIME;
  xcb_send_event(c.get(), 0, window, XCB_EVENT_MASK_NO_EVENT,
                 reinterpret_cast<const char*>(&message));
  free(xcb_get_input_focus_reply(c.get(), xcb_get_input_focus(c.get()), nullptr));
  return xcb_connection_has_error(c.get()) ? 2 : 0;
}

int usage() {
  std::fprintf(stderr,
               "usage: lumbrel-x-helper watch-map TIMEOUT_MS [COUNT]\n"
               "       lumbrel-x-helper close WINDOW\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    return usage();
  }
  const std::string command = argv[1];
  if (command == "watch-map") {
    return watch_map(std::strtol(argv[2], nullptr, 10), argc > 3 ? std::atoi(argv[3]) : 1);
  }
  if (command == "close") {
    return close_window(static_cast<xcb_window_t>(std::strtoul(argv[2], nullptr, 0)));
  }
  return usage();
}
