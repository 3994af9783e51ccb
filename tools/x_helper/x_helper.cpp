// lumbrel-x-helper: what tests and benchmarks of the program need from an X
// server that xdotool cannot give (it polls every 0.5 s and closes no window).
//
//   lumbrel-x-helper watch-map TIMEOUT_MS [COUNT]
//     Prints "ready" once it listens, then for each top-level window mapped
//     "mapped <window> <pid> <monotonic ns>" (pid 0 when the window names
//     none), until COUNT windows (default 1) were mapped. Exit 1 on time-out.
//   lumbrel-x-helper close WINDOW
//     Asks the window to close as a window manager does (WM_DELETE_WINDOW).
//   lumbrel-x-helper window-manager LEFT RIGHT TOP BOTTOM
//     Stands in for a window manager that decorates every top-level window
//     with a frame of those widths without drawing it: announces
//     _NET_FRAME_EXTENTS, sets it on each window before mapping it, and places
//     the window inside its frame at the position asked for (the frame's
//     top-left under north-west gravity, the window's own under static
//     gravity); a window withdrawn goes back to that position. A window asked
//     to be iconified (WM_CHANGE_STATE, as a title bar's button or xdotool
//     windowminimize asks) is unmapped in the iconic state until its client
//     maps it again. Prints "ready" once it manages the screen; runs until
//     killed.
//   lumbrel-x-helper own-clipboard TARGET FILE
//     Owns the CLIPBOARD selection as a program that copied does, offering
//     FILE's bytes as TARGET (UTF8_STRING, image/png, ...) and nothing else.
//     Prints "ready" once it owns it, then "asked" at each request it
//     answers; runs until killed.
#include <poll.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <utility>

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

template <typename T>
using reply_ptr = std::unique_ptr<T, decltype(&std::free)>;

void set_cardinals(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property, xcb_atom_t type,
                   const std::uint32_t* values, std::uint32_t count) {
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, property, type, 32, count, values);
}

// The gravity the window asks for in WM_NORMAL_HINTS (north-west unless it
// names one): which point of the frame its requested position stands for.
std::uint32_t win_gravity(xcb_connection_t* c, xcb_window_t window) {
  constexpr std::uint32_t has_gravity = 1U << 9;  // PWinGravity
  constexpr std::uint32_t gravity_field = 17;
  const auto cookie = xcb_get_property(c, 0, window, XCB_ATOM_WM_NORMAL_HINTS,
                                       XCB_ATOM_WM_SIZE_HINTS, 0, gravity_field + 1);
  const reply_ptr<xcb_get_property_reply_t> reply(xcb_get_property_reply(c, cookie, nullptr),
                                                  &std::free);
  constexpr std::uint32_t north_west = XCB_GRAVITY_NORTH_WEST;
  if (!reply || reply->format != 32 || reply->value_len <= gravity_field) {
    return north_west;
  }
  const auto* hints = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
  return (hints[0] & has_gravity) != 0 ? hints[gravity_field] : north_west;
}

struct frame_extents {
  std::int32_t left, right, top, bottom;
};

class stand_in_window_manager {
 public:
  stand_in_window_manager(xcb_connection_t* c, frame_extents extents)
      : c_(c), root_(first_screen(c)->root), extents_(extents) {}

  int run() {
    const std::uint32_t mask =
        XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    const reply_ptr<xcb_generic_error_t> refused(
        xcb_request_check(
            c_, xcb_change_window_attributes_checked(c_, root_, XCB_CW_EVENT_MASK, &mask)),
        &std::free);
    if (refused) {
      std::fprintf(stderr, "another window manager runs\n");
      return 2;
    }
    // Qt reads the frame from _NET_FRAME_EXTENTS only when the window manager
    // lists it as supported.
    const std::uint32_t supported[] = {frame_extents_atom_};
    set_cardinals(c_, root_, intern(c_, "_NET_SUPPORTED"), XCB_ATOM_ATOM, supported, 1);
    free(xcb_get_input_focus_reply(c_, xcb_get_input_focus(c_), nullptr));
    std::printf("ready\n");
    std::fflush(stdout);

    while (xcb_generic_event_t* event = xcb_wait_for_event(c_)) {
      const reply_ptr<xcb_generic_event_t> owned(event, &std::free);
      switch (event->response_type & 0x7F) {
        case XCB_MAP_REQUEST:
          manage(reinterpret_cast<const xcb_map_request_event_t*>(event)->window);
          break;
        case XCB_CONFIGURE_REQUEST:
          configure(*reinterpret_cast<const xcb_configure_request_event_t*>(event));
          break;
        case XCB_UNMAP_NOTIFY:
          release(reinterpret_cast<const xcb_unmap_notify_event_t*>(event)->window);
          break;
        case XCB_DESTROY_NOTIFY:
          managed_.erase(reinterpret_cast<const xcb_destroy_notify_event_t*>(event)->window);
          break;
        case XCB_CLIENT_MESSAGE:
          change_state(*reinterpret_cast<const xcb_client_message_event_t*>(event));
          break;
        default:
          break;
      }
      xcb_flush(c_);
    }
    return 2;  // the server went away
  }

 private:
  // Where the window itself goes when (x, y) was asked for. The gravity is
  // read at each request: a client changes it as it places itself by its frame
  // or by its own rectangle.
  std::pair<std::int32_t, std::int32_t> window_position(xcb_window_t window, std::int32_t x,
                                                        std::int32_t y) const {
    if (win_gravity(c_, window) == XCB_GRAVITY_STATIC) {
      return {x, y};
    }
    return {x + extents_.left, y + extents_.top};
  }

  // The extents are set and the window placed before it is mapped, so the
  // client sees its final frame by the time the map is reported.
  void manage(xcb_window_t window) {
    const reply_ptr<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(c_, xcb_get_geometry(c_, window), nullptr), &std::free);
    if (!geometry) {
      return;  // gone already
    }
    const std::uint32_t extents[] = {
        static_cast<std::uint32_t>(extents_.left), static_cast<std::uint32_t>(extents_.right),
        static_cast<std::uint32_t>(extents_.top), static_cast<std::uint32_t>(extents_.bottom)};
    set_cardinals(c_, window, frame_extents_atom_, XCB_ATOM_CARDINAL, extents, 4);
    managed_.insert(window);
    const auto [x, y] = window_position(window, geometry->x, geometry->y);
    const std::uint32_t place[] = {static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y)};
    xcb_configure_window(c_, window, XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y, place);
    const std::uint32_t normal_state[] = {1, XCB_WINDOW_NONE};
    set_cardinals(c_, window, wm_state_atom_, wm_state_atom_, normal_state, 2);
    xcb_map_window(c_, window);
  }

  // A window withdrawn goes back to where it asked to be, so that mapping it
  // again frames it as the first time.
  void release(xcb_window_t window) {
    if (managed_.erase(window) == 0 || win_gravity(c_, window) == XCB_GRAVITY_STATIC) {
      return;
    }
    const reply_ptr<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(c_, xcb_get_geometry(c_, window), nullptr), &std::free);
    if (geometry) {
      const std::uint32_t place[] = {static_cast<std::uint32_t>(geometry->x - extents_.left),
                                     static_cast<std::uint32_t>(geometry->y - extents_.top)};
      xcb_configure_window(c_, window, XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y, place);
    }
  }

  void change_state(const xcb_client_message_event_t& message) {
    constexpr std::uint32_t iconic = 3;
    if (message.type != change_state_atom_ || message.format != 32 ||
        message.data.data32[0] != iconic || !managed_.contains(message.window)) {
      return;
    }
    const std::uint32_t iconic_state[] = {iconic, XCB_WINDOW_NONE};
    set_cardinals(c_, message.window, wm_state_atom_, wm_state_atom_, iconic_state, 2);
    xcb_unmap_window(c_, message.window);
  }

  void configure(const xcb_configure_request_event_t& request) {
    std::int32_t x = request.x;
    std::int32_t y = request.y;
    if (managed_.contains(request.window)) {
      std::tie(x, y) = window_position(request.window, x, y);
    }
    // Values in the order of their mask bits, as the protocol wants them.
    std::uint32_t values[7];
    std::uint32_t count = 0;
    const std::uint16_t mask = request.value_mask;
    const auto add = [&](std::uint16_t bit, std::int64_t value) {
      if ((mask & bit) != 0) {
        values[count++] = static_cast<std::uint32_t>(value);
      }
    };
    add(XCB_CONFIG_WINDOW_X, x);
    add(XCB_CONFIG_WINDOW_Y, y);
    add(XCB_CONFIG_WINDOW_WIDTH, request.width);
    add(XCB_CONFIG_WINDOW_HEIGHT, request.height);
    add(XCB_CONFIG_WINDOW_BORDER_WIDTH, request.border_width);
    add(XCB_CONFIG_WINDOW_SIBLING, request.sibling);
    add(XCB_CONFIG_WINDOW_STACK_MODE, request.stack_mode);
    xcb_configure_window(c_, request.window, mask, values);
  }

  xcb_connection_t* c_;
  xcb_window_t root_;
  frame_extents extents_;
  xcb_atom_t frame_extents_atom_ = intern(c_, "_NET_FRAME_EXTENTS");
  xcb_atom_t wm_state_atom_ = intern(c_, "WM_STATE");
  xcb_atom_t change_state_atom_ = intern(c_, "WM_CHANGE_STATE");
  std::set<xcb_window_t> managed_;
};

int window_manager(frame_extents extents) {
  const connection c = connect_display();
  return stand_in_window_manager(c.get(), extents).run();
}

// Small data only: no INCR transfers.
int own_clipboard(const char* target_name, const char* file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "cannot read %s\n", file);
    return 2;
  }
  const std::string data{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  const connection c = connect_display();
  xcb_screen_t* screen = first_screen(c.get());
  const xcb_window_t owner = xcb_generate_id(c.get());
  xcb_create_window(c.get(), XCB_COPY_FROM_PARENT, owner, screen->root, 0, 0, 1, 1, 0,
                    XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
  const xcb_atom_t clipboard = intern(c.get(), "CLIPBOARD");
  const xcb_atom_t targets = intern(c.get(), "TARGETS");
  const xcb_atom_t target = intern(c.get(), target_name);
  xcb_set_selection_owner(c.get(), owner, clipboard, XCB_CURRENT_TIME);
  const auto cookie = xcb_get_selection_owner(c.get(), clipboard);
  const reply_ptr<xcb_get_selection_owner_reply_t> owned(
      xcb_get_selection_owner_reply(c.get(), cookie, nullptr), &std::free);
  if (!owned || owned->owner != owner) {
    std::fprintf(stderr, "cannot own the clipboard\n");
    return 2;
  }
  std::printf("ready\n");
  std::fflush(stdout);

  while (xcb_generic_event_t* event = xcb_wait_for_event(c.get())) {
    const reply_ptr<xcb_generic_event_t> held(event, &std::free);
    if ((event->response_type & 0x7F) != XCB_SELECTION_REQUEST) {
      continue;
    }
    const auto& request = *reinterpret_cast<const xcb_selection_request_event_t*>(event);
    // A requestor of old names no property: the target stands for it.
    const xcb_atom_t property = request.property != XCB_NONE ? request.property : request.target;
    xcb_selection_notify_event_t answer{};
    answer.response_type = XCB_SELECTION_NOTIFY;
    answer.time = request.time;
    answer.requestor = request.requestor;
    answer.selection = request.selection;
    answer.target = request.target;
    answer.property = property;
    if (request.target == targets) {
      const xcb_atom_t offered[] = {targets, target};
      xcb_change_property(c.get(), XCB_PROP_MODE_REPLACE, request.requestor, property,
                          XCB_ATOM_ATOM, 32, 2, offered);
    } else if (request.target == target) {
      xcb_change_property(c.get(), XCB_PROP_MODE_REPLACE, request.requestor, property, target, 8,
                          static_cast<std::uint32_t>(data.size()), data.data());
    } else {
      answer.property = XCB_NONE;
    }
    xcb_send_event(c.get(), 0, request.requestor, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char*>(&answer));
    xcb_flush(c.get());
    std::printf("asked\n");
    std::fflush(stdout);
  }
  return 2;  // the server went away
}

int usage() {
  std::fprintf(stderr,
               "usage: lumbrel-x-helper watch-map TIMEOUT_MS [COUNT]\n"
               "       lumbrel-x-helper close WINDOW\n"
               "       lumbrel-x-helper window-manager LEFT RIGHT TOP BOTTOM\n"
               "       lumbrel-x-helper own-clipboard TARGET FILE\n");
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
  if (command == "window-manager" && argc == 6) {
    const auto width = [&](int i) { return static_cast<std::int32_t>(std::atoi(argv[i])); };
    return window_manager({width(2), width(3), width(4), width(5)});
  }
  if (command == "own-clipboard" && argc == 4) {
    return own_clipboard(argv[2], argv[3]);
  }
  return usage();
}
