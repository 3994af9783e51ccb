// lumbrel-weston-helper: a module of Debian's weston that lets the tests of
// the program under a headless compositor see its window and do what a user
// or the compositor would: the headless backend has no seat of its own, and
// no client may close or resize another's window.
//
//   weston --backend=headless-backend.so --modules=/path/lumbrel-weston-helper.so
//
// It listens on the Unix socket named by LUMBREL_WESTON_HELPER; each
// connection carries one request line and gets the reply, then is closed:
//   windows          one line "window <pid> <surface> <x> <y> <width> <height>
//                    <state>" a top-level window (the client's id of its
//                    surface, which a new map changes, its window geometry on
//                    the output, state normal, maximized or fullscreen), then
//                    "end"
//   close PID        asks the windows of PID to close, as a compositor's own
//                    close does: "closed <count>"
//   fullscreen PID   makes the windows of PID fill the output, as a shell's
//                    key binding does: "fullscreen <count>"
//   click X Y        a left click of the module's own pointer at that point
//                    of the output, 200 ms later: "clicked"
//   keys K[+K...]... each chord pressed and released on the module's own
//                    keyboard, whose focus follows the clicks: evdev key
//                    codes, a chord's keys pressed in order: "typed"
//   selection PATH   the clipboard's text, as the client that holds it
//                    writes it into PATH (created): "asked", or "none"
#define _GNU_SOURCE  // accept4
#include <errno.h>
#include <fcntl.h>
#include <libweston-desktop/libweston-desktop.h>
#include <libweston/libweston.h>
#include <linux/input-event-codes.h>
#include <stdbool.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <wayland-server.h>

// What input backends call; libweston exports them, its development
// package does not declare them.
void notify_motion_absolute(struct weston_seat* seat, const struct timespec* time, double x,
                            double y);
void notify_button(struct weston_seat* seat, const struct timespec* time, int32_t button,
                   enum wl_pointer_button_state state);
void notify_pointer_frame(struct weston_seat* seat);
void weston_seat_init(struct weston_seat* seat, struct weston_compositor* compositor,
                      const char* name);
int weston_seat_init_pointer(struct weston_seat* seat);
int weston_seat_init_keyboard(struct weston_seat* seat, struct xkb_keymap* keymap);
void notify_key(struct weston_seat* seat, const struct timespec* time, uint32_t key,
                enum wl_keyboard_key_state state, enum weston_key_state_update update_state);

struct helper {
  struct weston_compositor* compositor;
  struct weston_seat seat;
  struct wl_event_source* click_timer;
  double click_x, click_y;
  int listener;
};

// Moves the pointer there, then clicks once weston has had a repaint to give
// it the window under it: a window that has just changed takes no button
// before that.
static void click(struct helper* helper, double x, double y) {
  struct timespec now;
  weston_compositor_get_time(&now);
  notify_motion_absolute(&helper->seat, &now, x, y);
  notify_pointer_frame(&helper->seat);
  helper->click_x = x;
  helper->click_y = y;
  wl_event_source_timer_update(helper->click_timer, 200);
}

static int press_and_release(void* data) {
  struct helper* helper = data;
  struct timespec now;
  weston_compositor_get_time(&now);
  notify_motion_absolute(&helper->seat, &now, helper->click_x, helper->click_y);
  notify_pointer_frame(&helper->seat);
  notify_button(&helper->seat, &now, BTN_LEFT, WL_POINTER_BUTTON_STATE_PRESSED);
  notify_pointer_frame(&helper->seat);
  notify_button(&helper->seat, &now, BTN_LEFT, WL_POINTER_BUTTON_STATE_RELEASED);
  notify_pointer_frame(&helper->seat);
  return 0;
}

// Presses the chord's keys ("29+30" for Ctrl+A) in order and releases them
// in reverse; false for a chord that is not one.
static bool press_chord(struct helper* helper, const char* chord) {
  uint32_t keys[4];
  int count = 0;
  for (const char* at = chord; *at && count < 4; ++count) {
    char* end;
    const unsigned long key = strtoul(at, &end, 10);
    if (end == at || (*end && *end != '+')) {
      return false;
    }
    keys[count] = (uint32_t)key;
    at = *end ? end + 1 : end;
  }
  struct timespec now;
  weston_compositor_get_time(&now);
  for (int i = 0; i < count; ++i) {
    notify_key(&helper->seat, &now, keys[i], WL_KEYBOARD_KEY_STATE_PRESSED, STATE_UPDATE_AUTOMATIC);
  }
  for (int i = count - 1; i >= 0; --i) {
    notify_key(&helper->seat, &now, keys[i], WL_KEYBOARD_KEY_STATE_RELEASED,
               STATE_UPDATE_AUTOMATIC);
  }
  return count > 0;
}

static bool type_keys(struct helper* helper, char* chords) {
  char* rest = NULL;
  for (char* chord = strtok_r(chords, " \n", &rest); chord; chord = strtok_r(NULL, " \n", &rest)) {
    if (!press_chord(helper, chord)) {
      return false;
    }
  }
  return true;
}

// The holder writes the text into the file and closes it, in its own time.
static bool ask_selection(struct helper* helper, const char* path) {
  struct weston_data_source* source = helper->seat.selection_data_source;
  if (!source) {
    return false;
  }
  const int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) {
    return false;
  }
  source->send(source, "text/plain;charset=utf-8", fd);
  return true;
}

typedef void (*window_action)(struct weston_desktop_surface* window, struct weston_view* view,
                              struct helper* helper, FILE* out);

// Calls action for each top-level window of pid (every one for pid 0).
static int for_each_window(struct helper* helper, pid_t pid, window_action action, FILE* out) {
  int count = 0;
  struct weston_layer* layer;
  wl_list_for_each(layer, &helper->compositor->layer_list, link) {
    struct weston_view* view;
    wl_list_for_each(view, &layer->view_list.link, layer_link.link) {
      if (!view->surface || !weston_surface_is_desktop_surface(view->surface)) {
        continue;
      }
      struct weston_desktop_surface* window = weston_surface_get_desktop_surface(view->surface);
      if (pid == 0 || weston_desktop_surface_get_pid(window) == pid) {
        action(window, view, helper, out);
        ++count;
      }
    }
  }
  return count;
}

static void describe(struct weston_desktop_surface* window, struct weston_view* view,
                     struct helper* helper, FILE* out) {
  (void)helper;
  const struct weston_geometry g = weston_desktop_surface_get_geometry(window);
  const char* state = weston_desktop_surface_get_fullscreen(window)  ? "fullscreen"
                      : weston_desktop_surface_get_maximized(window) ? "maximized"
                                                                     : "normal";
  fprintf(out, "window %d %u %d %d %d %d %s\n", (int)weston_desktop_surface_get_pid(window),
          wl_resource_get_id(view->surface->resource), (int)view->geometry.x + g.x,
          (int)view->geometry.y + g.y, g.width, g.height, state);
}

static void close_window(struct weston_desktop_surface* window, struct weston_view* view,
                         struct helper* helper, FILE* out) {
  (void)view, (void)helper, (void)out;
  weston_desktop_surface_close(window);
}

static void fill_output(struct weston_desktop_surface* window, struct weston_view* view,
                        struct helper* helper, FILE* out) {
  (void)view, (void)out;
  struct weston_output* output =
      wl_container_of(helper->compositor->output_list.next, output, link);
  weston_desktop_surface_set_fullscreen(window, true);
  weston_desktop_surface_set_size(window, output->width, output->height);
}

static void answer(struct helper* helper, FILE* io) {
  char line[512];
  int pid = 0;
  double x = 0;
  double y = 0;
  if (!fgets(line, sizeof line, io)) {
    return;
  }
  if (strcmp(line, "windows\n") == 0) {
    for_each_window(helper, 0, describe, io);
    fputs("end\n", io);
  } else if (sscanf(line, "close %d", &pid) == 1 && pid > 0) {
    fprintf(io, "closed %d\n", for_each_window(helper, pid, close_window, io));
  } else if (sscanf(line, "fullscreen %d", &pid) == 1 && pid > 0) {
    fprintf(io, "fullscreen %d\n", for_each_window(helper, pid, fill_output, io));
  } else if (sscanf(line, "click %lf %lf", &x, &y) == 2) {
    click(helper, x, y);
    fputs("clicked\n", io);
  } else if (strncmp(line, "keys ", 5) == 0) {
    fputs(type_keys(helper, line + 5) ? "typed\n" : "bad keys\n", io);
  } else if (strncmp(line, "selection ", 10) == 0) {
    line[strcspn(line, "\n")] = '\0';
    fputs(ask_selection(helper, line + 10) ? "asked\n" : "none\n", io);
  } else {
    fputs("unknown request\n", io);
  }
}

static int on_connection(int fd, uint32_t mask, void* data) {
  (void)mask;
  struct helper* helper = data;
  const int connection = accept4(fd, NULL, NULL, SOCK_CLOEXEC);
  if (connection < 0) {
    return 0;
  }
  // The tests write their one line at once: reading it blocks the compositor
  // no longer than that.
  FILE* io = fdopen(connection, "r+");
  if (!io) {
    close(connection);
    return 0;
  }
  answer(helper, io);
  fclose(io);
  return 0;
}

WL_EXPORT int wet_module_init(struct weston_compositor* compositor, int* argc, char* argv[]) {
  (void)argc, (void)argv;
  const char* path = getenv("LUMBREL_WESTON_HELPER");
  struct sockaddr_un address = {.sun_family = AF_UNIX};
  // Bound under a passing name and renamed once it listens: a test waits for
  // the socket's name to appear, and a connect between the bind and the
  // listen is refused.
  static const char passing[] = ".new";
  if (!path || strlen(path) + sizeof passing > sizeof address.sun_path) {
    weston_log("lumbrel-weston-helper: LUMBREL_WESTON_HELPER names no usable socket path\n");
    return -1;
  }
  strcpy(address.sun_path, path);
  strcat(address.sun_path, passing);
  struct helper* helper = calloc(1, sizeof *helper);
  if (!helper) {
    return -1;
  }
  helper->compositor = compositor;
  weston_seat_init(&helper->seat, compositor, "lumbrel-weston-helper");
  weston_seat_init_pointer(&helper->seat);
  weston_seat_init_keyboard(&helper->seat, NULL);
  helper->listener = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  unlink(address.sun_path);
  if (helper->listener < 0 ||
      bind(helper->listener, (struct sockaddr*)&address, sizeof address) != 0 ||
      listen(helper->listener, 4) != 0 || rename(address.sun_path, path) != 0) {
    weston_log("lumbrel-weston-helper: cannot listen on %s: %s\n", path, strerror(errno));
    return -1;
  }
  struct wl_event_loop* loop = wl_display_get_event_loop(compositor->wl_display);
  helper->click_timer = wl_event_loop_add_timer(loop, press_and_release, helper);
  wl_event_loop_add_fd(loop, helper->listener, WL_EVENT_READABLE, on_connection, helper);
  return 0;
}
