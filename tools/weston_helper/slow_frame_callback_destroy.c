// Preloaded into the program by the Wayland tests: widens the window in which
// Qt's Wayland frame thread and the user-interface thread may both destroy a
// window's frame callback. The frame thread waits 30 ms before it destroys
// one, in the callback's handler; the user-interface thread waits 150 ms after
// it destroyed one, so that the process is still there when the frame thread
// goes on.
#define _GNU_SOURCE
#include <dlfcn.h>
#include <pthread.h>
#include <string.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

struct wl_proxy;

typedef void (*proxy_destroy_function)(struct wl_proxy*);
typedef const char* (*proxy_class_function)(struct wl_proxy*);

static void hold(long milliseconds) {
  const struct timespec pause = {0, milliseconds * 1000 * 1000};
  nanosleep(&pause, NULL);
}

void wl_proxy_destroy(struct wl_proxy* proxy) {
  static proxy_destroy_function next;
  static proxy_class_function class_of;
  if (!next) {
    // Qt's platform plugin, opened on its own, brings the library in: it is
    // not among those that RTLD_NEXT searches.
    void* library = dlopen("libwayland-client.so.0", RTLD_NOW | RTLD_NOLOAD);
    next = (proxy_destroy_function)dlsym(library, "wl_proxy_destroy");
    class_of = (proxy_class_function)dlsym(library, "wl_proxy_get_class");
  }
  if (strcmp(class_of(proxy), "wl_callback") != 0) {
    next(proxy);
    return;
  }
  char name[16] = "";
  pthread_getname_np(pthread_self(), name, sizeof name);
  // Qt names its event threads so, cut to the 15 characters a thread name
  // keeps; only the frame thread destroys callbacks.
  if (strcmp(name, "WaylandEventThr") == 0) {
    hold(30);
    next(proxy);
    return;
  }
  next(proxy);
  if (syscall(SYS_gettid) == getpid()) {
    hold(150);
  }
}
